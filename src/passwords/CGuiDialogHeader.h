#pragma once

#include <QPixmap>
#include <QWidget>

// The band at the top of the program's dialogs: the theme's header picture when it has one,
// else a calm gradient in the theme's title colours, with the dialog's title on it.
class CGuiDialogHeader : public QWidget
{
    Q_OBJECT

public:
    explicit CGuiDialogHeader(const QString& strTitle, QWidget* pParent = nullptr);

    void SetPicture(const QPixmap& picture);
    void SetTitle(const QString& strTitle);
    [[nodiscard]] QString Title() const { return m_strTitle; }
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    QString m_strTitle;
    QPixmap m_picture;
};
