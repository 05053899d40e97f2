#include "ui/CThemeImageList.h"

#include <QImage>

CThemeImageList g_WelcomeImageList;
CThemeImageList g_MainImageList;

bool CThemeImageList::Create(const QPixmap& strip, int nWidth, QRgb maskColor)
{
    m_images.clear();
    m_nWidth = nWidth;
    if (strip.isNull() || nWidth <= 0) {
        return false;
    }
    const qreal dRatio = strip.devicePixelRatio();
    QImage all = strip.toImage();
    if (!all.hasAlphaChannel()) {
        // The mask colour is the transparent one.
        all = all.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = maskColor & 0x00FFFFFFu;
        for (int y = 0; y < all.height(); ++y) {
            auto* pLine = reinterpret_cast<QRgb*>(all.scanLine(y));
            for (int x = 0; x < all.width(); ++x) {
                if ((pLine[x] & 0x00FFFFFFu) == key) {
                    pLine[x] = 0;
                }
            }
        }
    }
    const int nDeviceWidth = qRound(nWidth * dRatio);
    for (int x = 0; x + nDeviceWidth <= all.width(); x += nDeviceWidth) {
        QPixmap part = QPixmap::fromImage(all.copy(x, 0, nDeviceWidth, all.height()));
        part.setDevicePixelRatio(dRatio);
        m_images.append(part);
    }
    return !m_images.isEmpty();
}

QPixmap CThemeImageList::Image(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_images.size() ? m_images[nIndex] : QPixmap();
}

QIcon CThemeImageList::Icon(int nIndex) const
{
    const QPixmap image = Image(nIndex);
    return image.isNull() ? QIcon() : QIcon(image);
}

QList<QPixmap> CThemeImageList::Split(const QPixmap& strip, int nParts)
{
    QList<QPixmap> parts;
    if (strip.isNull() || nParts <= 0 || strip.width() < nParts) {
        return parts;
    }
    const qreal dRatio = strip.devicePixelRatio();
    const int nPart = strip.width() / nParts;
    for (int i = 0; i < nParts; ++i) {
        QPixmap part = strip.copy(i * nPart, 0, nPart, strip.height());
        part.setDevicePixelRatio(dRatio);
        parts.append(part);
    }
    return parts;
}
