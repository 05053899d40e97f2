#pragma once

// The program's one table of look: the theme's colours and metrics (see CThemeColors), its 30
// pictures, five fonts, the screen's resolution class and the accessibility flag.
//
// Start-up calls InitColors, LoadTheme and LoadImages in this order. Every page and owner-drawn
// control reads its colours, fonts and pictures from g_GlobalColors. Colours are Windows colour
// values (0x00BBGGRR); Color() turns one into a QColor.
//
// Accessibility mode (system colours, no theme, no pictures) is on when
//   - the environment variable HV_HIGH_CONTRAST is "1" (and off when it is "0", whatever the
//     desktop says), or SetAccessibilityOverride chose it (the program's command line), or
//   - the desktop asks for high contrast: a GTK theme named "HighContrast..." in GTK_THEME, or
//     (Qt 6.10 and later) the desktop's contrast preference.
#include "ui/CThemeColors.h"
#include "ui/CThemeFile.h"
#include "ui/CThemeImage.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <array>
#include <optional>

// The pictures, in the theme file's order; Extra is the 30th, which has no key.
enum class EThemeImage
{
    MainHeader,
    MainHeaderR,
    MainFoter,
    MainFoterR,
    Btn_SecureData,
    Btn_HideManagment,
    Btn_Decrypt,
    SecureHeader,
    HideHeader,
    DecryptHeader,
    InnerHeaderR,
    Btn_Help,
    InnerFoter,
    InnerFoterR,
    Btn_Next,
    Btn_Start,
    Btn_Previous,
    WelcomeImageList,
    MainImageList,
    MasterPassword,
    SetMasterPassword,
    EncryptPassword,
    MasterPasswordSmall,
    EncryptPasswordSmall,
    BtnHome,
    AboutHeader,
    ThankHeader,
    HeaderTiral,
    Progress,
    Extra,
};

class CGlobalColors : public CThemeColors
{
public:
    CGlobalColors() = default;
    ~CGlobalColors();
    CGlobalColors(const CGlobalColors&) = delete;
    CGlobalColors& operator=(const CGlobalColors&) = delete;

    // Accessibility flag, screen resolution, defaults (or system colours), fonts; from then on
    // the controls take the accessibility flag and colours by key from this table. Returns 1.
    int InitColors();
    // Reads the encrypted theme file named by the configuration's ThemeFileName. 1 when its text
    // was not obtained or not well-formed, else 0 (also 0 in accessibility mode, reading nothing).
    int LoadTheme();
    // The same from a plaintext already at hand.
    int LoadThemeText(const QString& strText);
    // Loads the pictures and builds the two image lists; nothing in accessibility mode. Returns 0.
    int LoadImages();

    [[nodiscard]] CThemeImage& Image(EThemeImage which) { return m_images[static_cast<std::size_t>(which)]; }
    [[nodiscard]] const CThemeImage& Image(EThemeImage which) const
    {
        return m_images[static_cast<std::size_t>(which)];
    }

    [[nodiscard]] static QColor Color(HVCOLORREF nValue);

    [[nodiscard]] bool IsAccessibility() const { return m_bAccessibility; }
    // The dark variant is in use: the desktop's palette is dark and accessibility is off. The
    // theme file then gives its pictures only, its colours being made for a light page.
    [[nodiscard]] bool IsDark() const { return m_bDark; }
    // True when the desktop's palette is dark (its window colour darker than its text).
    [[nodiscard]] static bool DetectDarkPalette();
    [[nodiscard]] int LogPixelsY() const { return m_nLogPixelsY; }
    [[nodiscard]] int ResolutionClass() const { return m_nResolution; }
    // 0 below 96 dots per inch, 1 at 96, 2 above.
    [[nodiscard]] static int ResolutionClassOf(int nDotsPerInch);

    // Forces accessibility mode on (true) or off (false), or back to detection (nullopt); takes
    // effect at the next InitColors. The environment variable HV_HIGH_CONTRAST wins over it.
    static void SetAccessibilityOverride(std::optional<bool> on);
    // What InitColors will decide.
    [[nodiscard]] static bool DetectAccessibility();
    // The desktop's colour for a system colour of the table.
    [[nodiscard]] static HVCOLORREF SystemColor(EThemeSysColor which);

    // Size of the MainHeader bitmap after LoadImages (0 × 0 when it did not load).
    int m_nMainHeaderWidth = 0;
    int m_nMainHeaderHeight = 0;

    // The five fonts, face "Tahoma" (or the desktop's nearest), heights in pixels.
    QFont m_font13;      // 13, normal
    QFont m_font14;      // 14, normal
    QFont m_font13Bold;  // 13, bold
    QFont m_font12;      // 12, normal
    QFont m_font10;      // 10, normal
    [[nodiscard]] static QFont MakeFont(int nHeight, int nWeight);

private:
    std::array<CThemeImage, CThemeFile::kImageCount> m_images;
    bool m_bAccessibility = false;
    bool m_bDark = false;
    int m_nLogPixelsY = 96;
    int m_nResolution = 1;
};

// The program's one table of look.
extern CGlobalColors g_GlobalColors;
