#pragma once

// One picture of the theme: a bitmap or an icon loaded from a file in the program folder, with
// the resource module as fallback.
//
// A picture file "name.png" may have a companion "name@2x.png" drawn at twice the size; on a
// screen with a device pixel ratio above 1 that one is loaded and given the ratio 2, so that the
// picture keeps its size in device-independent pixels and stays sharp. All sizes this class
// reports are in device-independent pixels.
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <cstdint>
#include <optional>

class QPainter;

struct SThemeBitmapInfo
{
    int nWidth = 0;  // device-independent pixels
    int nHeight = 0;
    qreal dDevicePixelRatio = 1.0;
};

class CThemeImage
{
public:
    CThemeImage() = default;
    ~CThemeImage() { Free(); }
    CThemeImage(const CThemeImage&) = delete;
    CThemeImage& operator=(const CThemeImage&) = delete;

    void SetChecksum(std::int32_t nValue) { m_nChecksum = nValue; }
    [[nodiscard]] std::int32_t Checksum() const { return m_nChecksum; }

    // Stores the name; with bRelativeToProgramFolder a non-empty name becomes its path in the
    // program folder, and is emptied when no such file exists. A name ending in ".ico" (any
    // case) marks the picture as an icon.
    void SetFile(const QString& strName, bool bRelativeToProgramFolder);
    [[nodiscard]] const QString& File() const { return m_strFile; }
    [[nodiscard]] bool IsIcon() const { return m_bIcon; }

    // A variant of the theme ("dark"): Load takes "<folder>/<variant>/<name>" beside the file
    // where there is one, else the file itself. Empty: the file itself.
    void SetVariant(const QString& strVariant) { m_strVariant = strVariant; }
    [[nodiscard]] static QString PathForVariant(const QString& strPath, const QString& strVariant);

    // Resource-module number tried when the file gives nothing (0: none).
    void SetResourceId(unsigned nId) { m_nResourceId = nId; }
    [[nodiscard]] unsigned ResourceId() const { return m_nResourceId; }

    // Loads from the file, else from the resource module. dDevicePixelRatio 0 takes the
    // application's. 1 when something was loaded.
    int Load(qreal dDevicePixelRatio = 0);
    void Free();

    // Draws the whole bitmap with its top-left corner at (x, y); nothing without a bitmap.
    void Draw(QPainter& painter, int x, int y) const;
    // 1 and the bitmap's size, or 0 when no bitmap is loaded.
    int GetBitmapInfo(SThemeBitmapInfo& info) const;

    [[nodiscard]] bool HasBitmap() const { return m_bitmap.has_value(); }
    [[nodiscard]] bool HasIcon() const { return !m_icon.isNull(); }
    // The bitmap; a null pixmap when none is loaded.
    [[nodiscard]] const QPixmap& Bitmap() const;
    [[nodiscard]] const QIcon& Icon() const { return m_icon; }
    // Size in device-independent pixels (empty without a bitmap).
    [[nodiscard]] QSize Size() const;

    // The file to load for a ratio: "name@2x.ext" beside "name.ext" when the ratio is above 1
    // and that file exists, else the name itself.
    [[nodiscard]] static QString PathForRatio(const QString& strPath, qreal dDevicePixelRatio, qreal* pdFileRatio);
    // The application's device pixel ratio (1 without a GUI application).
    [[nodiscard]] static qreal ApplicationRatio();

private:
    bool LoadFrom(const QString& strPath, qreal dDevicePixelRatio, bool bIcon);

    std::int32_t m_nChecksum = -1;
    QString m_strFile;
    QString m_strVariant;
    // Optional, so that the global table can be built before the application object (a
    // QPixmap may only exist with one).
    std::optional<QPixmap> m_bitmap;
    QIcon m_icon;
    unsigned m_nResourceId = 0;
    bool m_bIcon = false;
};
