#include "ui/CGlobalColors.h"

#include "settings/CHDGlobalData.h"
#include "ui/CThemeImageList.h"
#include "ui/HVUiTheme.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#if QT_VERSION >= QT_VERSION_CHECK(6, 10, 0)
#include <QAccessibilityHints>
#include <QStyleHints>
#endif

CGlobalColors g_GlobalColors;

namespace {

constexpr int kWelcomeImageWidth = 24;
constexpr int kMainImageWidth = 16;

std::optional<bool>& AccessibilityOverride()
{
    static std::optional<bool> value;
    return value;
}

// The table the controls were last pointed at.
const CGlobalColors*& RegisteredTable()
{
    static const CGlobalColors* pTable = nullptr;
    return pTable;
}

bool HasGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace

CGlobalColors::~CGlobalColors()
{
    // The global table lives until the program's end, when the controls' hook may be gone.
    if (RegisteredTable() == this && this != &g_GlobalColors) {
        RegisteredTable() = nullptr;
        HVUi::SetThemeAccess({});
    }
}

bool CGlobalColors::DetectDarkPalette()
{
    if (!HasGuiApplication()) {
        return false;
    }
    const QPalette pal = QGuiApplication::palette();
    return pal.color(QPalette::Window).lightness() < pal.color(QPalette::WindowText).lightness();
}

void CGlobalColors::SetAccessibilityOverride(std::optional<bool> on)
{
    AccessibilityOverride() = on;
}

bool CGlobalColors::DetectAccessibility()
{
    const QByteArray env = qgetenv("HV_HIGH_CONTRAST").trimmed();
    if (env == "1") {
        return true;
    }
    if (env == "0") {
        return false;
    }
    if (AccessibilityOverride()) {
        return *AccessibilityOverride();
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 10, 0)
    if (HasGuiApplication()
        && QGuiApplication::styleHints()->accessibility()->contrastPreference()
               == Qt::ContrastPreference::HighContrast) {
        return true;
    }
#endif
    return qEnvironmentVariable("GTK_THEME").contains(QLatin1String("HighContrast"), Qt::CaseInsensitive);
}

HVCOLORREF CGlobalColors::SystemColor(EThemeSysColor which)
{
    const QPalette pal = HasGuiApplication() ? QGuiApplication::palette() : QPalette();
    QColor c;
    switch (which) {
    case EThemeSysColor::None:
    case EThemeSysColor::ButtonFace:
        c = pal.color(QPalette::Button);
        break;
    case EThemeSysColor::ButtonText:
        c = pal.color(QPalette::ButtonText);
        break;
    case EThemeSysColor::Window:
        c = pal.color(QPalette::Base);
        break;
    case EThemeSysColor::WindowText:
        c = pal.color(QPalette::Text);
        break;
    case EThemeSysColor::CaptionText:
        c = pal.color(QPalette::HighlightedText);
        break;
    case EThemeSysColor::ActiveCaption:
        c = pal.color(QPalette::Highlight);
        break;
    case EThemeSysColor::DarkShadow3D:
        c = pal.color(QPalette::Shadow);
        break;
    case EThemeSysColor::Light3D:
        c = pal.color(QPalette::Light);
        break;
    case EThemeSysColor::GrayText:
        c = pal.color(QPalette::Disabled, QPalette::Text);
        break;
    case EThemeSysColor::Highlight:
        c = pal.color(QPalette::Highlight);
        break;
    case EThemeSysColor::HighlightText:
        c = pal.color(QPalette::HighlightedText);
        break;
    }
    return HVRgb(static_cast<unsigned>(c.red()), static_cast<unsigned>(c.green()), static_cast<unsigned>(c.blue()));
}

QColor CGlobalColors::Color(HVCOLORREF nValue)
{
    return QColor(static_cast<int>(nValue & 0xFFu),
                  static_cast<int>((nValue >> 8) & 0xFFu),
                  static_cast<int>((nValue >> 16) & 0xFFu));
}

int CGlobalColors::ResolutionClassOf(int nDotsPerInch)
{
    return nDotsPerInch < 96 ? 0 : nDotsPerInch == 96 ? 1 : 2;
}

QFont CGlobalColors::MakeFont(int nHeight, int nWeight)
{
    QFont font(QStringLiteral("Tahoma"));
    // Tahoma is rare on this desktop: fall back on a humanist sans of similar width.
    font.setFamilies({QStringLiteral("Tahoma"),
                      QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Noto Sans"),
                      QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(nHeight);
    font.setWeight(static_cast<QFont::Weight>(nWeight));
    font.setItalic(false);
    font.setUnderline(false);
    return font;
}

int CGlobalColors::InitColors()
{
    m_bAccessibility = DetectAccessibility();
    m_nLogPixelsY = 96;
    if (HasGuiApplication() && QGuiApplication::primaryScreen()) {
        m_nLogPixelsY = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY());
    }
    m_nResolution = ResolutionClassOf(m_nLogPixelsY);
    SetDefaults(&CGlobalColors::SystemColor, m_bAccessibility);
    m_bDark = !m_bAccessibility && DetectDarkPalette();
    if (m_bDark) {
        ApplyDarkVariant();
    }

    m_font13 = MakeFont(13, 400);
    m_font14 = MakeFont(14, 400);
    m_font13Bold = MakeFont(13, 700);
    m_font12 = MakeFont(12, 400);
    m_font10 = MakeFont(10, 400);

    // The controls ask the theme for its flag and colours by key.
    RegisteredTable() = this;
    HVUi::SetThemeAccess(HVUi::SThemeAccess{[this] { return m_bAccessibility; },
                                            [this](const QString& strKey, QColor& out) {
                                                const SKey* pKey = Find(strKey.toLatin1().constData());
                                                if (!pKey || pKey->kind != EKind::Color) {
                                                    return false;
                                                }
                                                out = Color(Value(*pKey));
                                                return true;
                                            }});
    return 1;
}

int CGlobalColors::LoadTheme()
{
    if (m_bAccessibility) {
        return 0;
    }
    return LoadThemeText(g_HDGlobalData.MakeConfigFileEx(g_HDGlobalData.ThemeFileName));
}

int CGlobalColors::LoadThemeText(const QString& strText)
{
    if (m_bAccessibility) {
        return 0;
    }
    std::array<CThemeFile::SImage, CThemeFile::kImageKeys> images;
    CThemeColors unused;
    const CThemeFile::EResult result = CThemeFile::Read(strText, images, m_bDark ? unused : *this);
    if (result == CThemeFile::EResult::NoText) {
        return 1;
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (images[i].checksum) {
            m_images[i].SetChecksum(*images[i].checksum);
        }
        if (!images[i].strFile.isEmpty()) {
            m_images[i].SetFile(images[i].strFile, true);
        }
    }
    return 0;
}

int CGlobalColors::LoadImages()
{
    if (m_bAccessibility) {
        return 0;
    }
    for (CThemeImage& image : m_images) {
        image.SetVariant(m_bDark ? QStringLiteral("dark") : QString());
        (void)image.Load();
    }
    SThemeBitmapInfo info;
    if (Image(EThemeImage::MainHeader).GetBitmapInfo(info)) {
        m_nMainHeaderWidth = info.nWidth;
        m_nMainHeaderHeight = info.nHeight;
    }
    g_WelcomeImageList.Clear();
    g_MainImageList.Clear();
    if (Image(EThemeImage::WelcomeImageList).HasBitmap()) {
        g_WelcomeImageList.Create(Image(EThemeImage::WelcomeImageList).Bitmap(), kWelcomeImageWidth, qRgb(0, 0, 0));
    }
    if (Image(EThemeImage::MainImageList).HasBitmap()) {
        g_MainImageList.Create(Image(EThemeImage::MainImageList).Bitmap(), kMainImageWidth, qRgb(255, 0, 255));
    }
    return 0;
}
