#pragma once

#include <QColor>
#include <QWidget>

// A section caption: its text followed by an etched horizontal rule that runs to the right edge,
// both vertically centred. The background is the parent's (the control does not erase it).
class CStaticTitle : public QWidget
{
    Q_OBJECT
public:
    explicit CStaticTitle(QWidget* pParent = nullptr);
    CStaticTitle(const QString& strText, QWidget* pParent = nullptr);

    void SetWindowText(const QString& strText);
    [[nodiscard]] QString GetWindowText() const { return m_strText; }
    void SetBold(bool bBold);
    [[nodiscard]] bool IsBold() const { return m_bBold; }
    // Background, rule highlight, rule shadow, text.
    void SetColors(const QColor& clrBk, const QColor& clrHighlight, const QColor& clrShadow, const QColor& clrText);

    // Where the rule is drawn (after layout); empty when there is no room for it.
    [[nodiscard]] QRect RuleRect() const;
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    [[nodiscard]] QFont TitleFont() const;
    [[nodiscard]] int TextWidth() const;

    QString m_strText;
    bool m_bBold = false;
    QColor m_clrBk;
    QColor m_clrHighlight;
    QColor m_clrShadow;
    QColor m_clrText;
};
