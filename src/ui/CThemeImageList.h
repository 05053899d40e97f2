#pragma once

// A row of equally wide small images cut from one strip picture, like the theme's welcome and
// main image lists. Transparency comes from the picture's alpha channel; a picture without one
// uses the mask colour (black for the welcome list, magenta for the main list).
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QRgb>

class CThemeImageList
{
public:
    // Cuts strip into images nWidth device-independent pixels wide (as high as the strip); a
    // narrower rest at the end is dropped. False (and the list emptied) when nothing fits.
    bool Create(const QPixmap& strip, int nWidth, QRgb maskColor);
    void Clear() { m_images.clear(); }

    [[nodiscard]] int Count() const { return static_cast<int>(m_images.size()); }
    [[nodiscard]] int ImageWidth() const { return m_nWidth; }
    // The image at nIndex; null when there is no such image.
    [[nodiscard]] QPixmap Image(int nIndex) const;
    [[nodiscard]] QIcon Icon(int nIndex) const;
    [[nodiscard]] const QList<QPixmap>& Images() const { return m_images; }

    // Splits a picture into nParts equal parts side by side (a button's state strip).
    [[nodiscard]] static QList<QPixmap> Split(const QPixmap& strip, int nParts);

private:
    QList<QPixmap> m_images;
    int m_nWidth = 0;
};

// The welcome page's link icons (24 pixels wide) and the main image list (16 pixels wide; file,
// folder and link icons of the lists and link buttons). Filled by CGlobalColors::LoadImages.
extern CThemeImageList g_WelcomeImageList;
extern CThemeImageList g_MainImageList;
