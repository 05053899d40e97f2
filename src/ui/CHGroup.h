#pragma once

#include <QColor>
#include <QGroupBox>

// A group frame whose inside takes the page's background colour.
class CHGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit CHGroup(QWidget* pParent = nullptr);
    CHGroup(const QString& strTitle, QWidget* pParent = nullptr);

    void SetBackgroundColor(const QColor& clr);
    [[nodiscard]] QColor GetBackgroundColor() const { return m_clrBk; }

private:
    QColor m_clrBk;
};
