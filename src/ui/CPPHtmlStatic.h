#pragma once

#include <QColor>
#include <QImage>
#include <QTextDocument>
#include <QWidget>

#include <functional>

// A label that shows the program's small mark-up (see CPPHtmlParser): styled text, line breaks and
// pictures of the resource module. A picture that cannot be loaded is left out. The text wraps at
// the label's width.
class CPPHtmlStatic : public QWidget
{
    Q_OBJECT
public:
    using PictureLoader = std::function<QImage(unsigned nId)>;

    explicit CPPHtmlStatic(QWidget* pParent = nullptr);

    void SetWindowText(const QString& strMarkup);
    [[nodiscard]] QString GetWindowText() const { return m_strMarkup; }
    void SetBkColor(const QColor& clr);
    [[nodiscard]] QColor GetBkColor() const { return m_clrBk; }
    void SetTextColor(const QColor& clr);

    // How pictures are found; the default loads HVImagePath(Bitmap, id).
    static void SetPictureLoader(PictureLoader loader);
    [[nodiscard]] static QImage LoadPicture(unsigned nId);

    [[nodiscard]] const QTextDocument& Document() const { return m_doc; }
    [[nodiscard]] int PictureCount() const { return m_nPictures; }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] bool hasHeightForWidth() const override { return true; }
    [[nodiscard]] int heightForWidth(int nWidth) const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    void Rebuild();

    QString m_strMarkup;
    QColor m_clrBk;
    QColor m_clrText;
    QTextDocument m_doc;
    int m_nPictures = 0;
};
