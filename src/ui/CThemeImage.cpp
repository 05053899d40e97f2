#include "ui/CThemeImage.h"

#include "resources/HVResourceStrings.h"
#include "settings/CHDGlobalData.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>

void CThemeImage::SetFile(const QString& strName, bool bRelativeToProgramFolder)
{
    m_strFile = strName;
    if (bRelativeToProgramFolder && !m_strFile.isEmpty()) {
        m_strFile = g_HDGlobalData.MAKEFILE(strName);
        if (!QFileInfo(m_strFile).isFile()) {
            m_strFile.clear();
        }
    }
    if (!m_strFile.isEmpty()) {
        m_bIcon = m_strFile.right(4).compare(QLatin1String(".ico"), Qt::CaseInsensitive) == 0;
    }
}

qreal CThemeImage::ApplicationRatio()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? qApp->devicePixelRatio() : 1.0;
}

QString CThemeImage::PathForRatio(const QString& strPath, qreal dDevicePixelRatio, qreal* pdFileRatio)
{
    if (pdFileRatio) {
        *pdFileRatio = 1.0;
    }
    if (dDevicePixelRatio <= 1.0 || strPath.isEmpty()) {
        return strPath;
    }
    const QFileInfo info(strPath);
    const QString strSuffix = info.suffix();
    if (strSuffix.isEmpty()) {
        return strPath;
    }
    const QString strBase = strPath.left(strPath.size() - strSuffix.size() - 1);
    const QString strDouble = strBase + QLatin1String("@2x.") + strSuffix;
    if (!QFileInfo::exists(strDouble)) {
        return strPath;
    }
    if (pdFileRatio) {
        *pdFileRatio = 2.0;
    }
    return strDouble;
}

QString CThemeImage::PathForVariant(const QString& strPath, const QString& strVariant)
{
    if (strPath.isEmpty() || strVariant.isEmpty()) {
        return strPath;
    }
    const QFileInfo info(strPath);
    const QString strOther = info.path() + QLatin1Char('/') + strVariant + QLatin1Char('/') + info.fileName();
    return QFileInfo(strOther).isFile() ? strOther : strPath;
}

bool CThemeImage::LoadFrom(const QString& strPath, qreal dDevicePixelRatio, bool bIcon)
{
    if (strPath.isEmpty()) {
        return false;
    }
    if (bIcon) {
        QIcon icon(strPath);
        if (icon.availableSizes().isEmpty() && icon.pixmap(QSize(32, 32)).isNull()) {
            return false;
        }
        m_icon = icon;
        return true;
    }
    qreal dFileRatio = 1.0;
    const QString strFile = PathForRatio(strPath, dDevicePixelRatio, &dFileRatio);
    QImageReader reader(strFile);
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull() && strFile != strPath) {
        dFileRatio = 1.0;
        image = QImage(strPath);
    }
    if (image.isNull()) {
        return false;
    }
    m_bitmap = QPixmap::fromImage(std::move(image));
    m_bitmap->setDevicePixelRatio(dFileRatio);
    return true;
}

int CThemeImage::Load(qreal dDevicePixelRatio)
{
    Free();
    if (dDevicePixelRatio <= 0) {
        dDevicePixelRatio = ApplicationRatio();
    }
    if (LoadFrom(PathForVariant(m_strFile, m_strVariant), dDevicePixelRatio, m_bIcon)) {
        return 1;
    }
    if (m_nResourceId != 0) {
        const HVImageKind kind = m_bIcon ? HVImageKind::Icon : HVImageKind::Bitmap;
        if (LoadFrom(HVImagePath(kind, m_nResourceId), dDevicePixelRatio, m_bIcon)) {
            return 1;
        }
    }
    return 0;
}

void CThemeImage::Free()
{
    m_bitmap.reset();
    m_icon = QIcon();
}

const QPixmap& CThemeImage::Bitmap() const
{
    static const QPixmap kNone;
    return m_bitmap ? *m_bitmap : kNone;
}

QSize CThemeImage::Size() const
{
    return m_bitmap ? (QSizeF(m_bitmap->size()) / m_bitmap->devicePixelRatio()).toSize() : QSize();
}

void CThemeImage::Draw(QPainter& painter, int x, int y) const
{
    if (m_bitmap) {
        painter.drawPixmap(x, y, *m_bitmap);
    }
}

int CThemeImage::GetBitmapInfo(SThemeBitmapInfo& info) const
{
    if (!m_bitmap) {
        return 0;
    }
    const QSize size = Size();
    info.nWidth = size.width();
    info.nHeight = size.height();
    info.dDevicePixelRatio = m_bitmap->devicePixelRatio();
    return 1;
}
