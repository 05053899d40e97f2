#pragma once

#include <QPixmap>
#include <QWidget>

class QVBoxLayout;

// The band at the top of the program's dialogs: the theme's header picture when it has one,
// else a calm gradient in the theme's title colours, with the dialog's title on it.
class CGuiDialogHeader : public QWidget
{
    Q_OBJECT

public:
    explicit CGuiDialogHeader(const QString& strTitle, QWidget* pParent = nullptr);

    // Lays pDialog out as a header band with strTitle over a body of 16/12 margins and
    // nSpacing between its rows; returns the band, pBody receives the body.
    static CGuiDialogHeader* FrameDialog(QWidget* pDialog, const QString& strTitle, int nSpacing, QVBoxLayout*& pBody);

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
