#pragma once

// The theme's table of colours and metrics: 58 values, their built-in defaults, the system colour
// each one takes in accessibility mode, and how the theme file writes each one. Qt Core only, so
// that the theme reader can be used and tested without a GUI.
#include <array>
#include <cstdint>
#include <functional>

// A Windows colour value, 0x00BBGGRR (the form every colour of the theme is kept in).
using HVCOLORREF = std::uint32_t;

[[nodiscard]] constexpr HVCOLORREF HVRgb(unsigned r, unsigned g, unsigned b)
{
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}

// The system colours the table refers to; the GUI side resolves them from the desktop's palette.
enum class EThemeSysColor
{
    None,
    ButtonFace,
    ButtonText,
    Window,
    WindowText,
    CaptionText,
    ActiveCaption,
    DarkShadow3D,
    Light3D,
    GrayText,
    Highlight,
    HighlightText,
};

class CThemeColors
{
public:
    // How the theme file writes a value.
    enum class EKind
    {
        Color,    // six hexadecimal digits RRGGBB
        Flag,     // "TRUE" or "FALSE"
        Integer,  // a decimal number
    };

    struct SKey
    {
        const char* pszKey;                 // element name in the theme file
        HVCOLORREF CThemeColors::*pMember;  // where the value is kept
        EKind kind;
        HVCOLORREF nDefault;           // built-in value (unless sysDefault names one)
        EThemeSysColor sysDefault;     // a system colour as built-in value, or None
        EThemeSysColor sysAccessible;  // the value in accessibility mode (None: nDefault)
    };

    static constexpr std::size_t kCount = 58;
    using SysResolver = std::function<HVCOLORREF(EThemeSysColor)>;

    // Every key in the theme file's order.
    [[nodiscard]] static const std::array<SKey, kCount>& Table();
    // The entry of a key; null when there is none of that name.
    [[nodiscard]] static const SKey* Find(const char* pszKey);

    // Fills the table with the built-in values or, with bAccessibility, with the system colours
    // of the table; the collapse-text flag becomes 1 and the corner radius 5 in both cases.
    void SetDefaults(const SysResolver& sys, bool bAccessibility);
    // Replaces the light built-in colours by their dark variant (for a dark desktop palette).
    void ApplyDarkVariant();

    [[nodiscard]] HVCOLORREF& Value(const SKey& key) { return this->*key.pMember; }
    [[nodiscard]] HVCOLORREF Value(const SKey& key) const { return this->*key.pMember; }

    HVCOLORREF clrDlgBkSub = 0;
    HVCOLORREF clrDlgBk = 0;
    HVCOLORREF clrDlgText = 0;
    HVCOLORREF clrBtnBk = 0;
    HVCOLORREF clrBtnBkHot = 0;
    HVCOLORREF clrTitleTextFill = 0;
    HVCOLORREF clrTitleText = 0;
    HVCOLORREF clrTitleTextSchedaule = 0;
    HVCOLORREF clrTitleTextPref = 0;
    HVCOLORREF clrTitleBorder = 0;
    HVCOLORREF clrTitleGradiant1 = 0;
    HVCOLORREF clrTitleGradiant2 = 0;
    HVCOLORREF clrLineHi = 0;
    HVCOLORREF clrLineText = 0;
    HVCOLORREF clrTitleMainText = 0;
    HVCOLORREF clrTitleSubGradiant1 = 0;
    HVCOLORREF clrTitleSubGradiant2 = 0;
    HVCOLORREF clrDlgBkPref = 0;
    HVCOLORREF clrProgressGrad1 = 0;
    HVCOLORREF clrProgressGrad2 = 0;
    HVCOLORREF clrProgressText = 0;
    HVCOLORREF clrProgressTextOn = 0;
    HVCOLORREF clrDlgMonitorBk = 0;
    HVCOLORREF clrDlgCollapseBk = 0;
    HVCOLORREF clrDlgCollapseText = 0;
    HVCOLORREF clrDlgCollapseSep = 0;
    HVCOLORREF clrDlgCollapseSep1 = 0;
    HVCOLORREF clrDlgCollapseTextAlign = 1;  // a flag, not a colour
    HVCOLORREF clrDlgCollapseTextSelected = 0;
    HVCOLORREF clrGPagesStatusBar = 0;
    HVCOLORREF clrBtnHelpText = 0;
    HVCOLORREF clrHomePageText = 0;
    HVCOLORREF clrUrgentNote = 0;
    HVCOLORREF clrDlgBtnFace = 0;
    HVCOLORREF clrDlgBtnFaceHot = 0;
    HVCOLORREF clrDlgBtnTextHot = 0;
    HVCOLORREF clrDlgBtnText = 0;
    HVCOLORREF clrDlgBtnDisableText = 0;
    HVCOLORREF clrDlgBtnDisableFace = 0;
    HVCOLORREF clrDlgBtnMonitorText = 0;
    HVCOLORREF clrDlgBtnMonitorTextHot = 0;
    HVCOLORREF clrDlgBtnMonitorbkHot = 0;
    HVCOLORREF clrDlgBtnMonitorbk = 0;
    HVCOLORREF clrLinkColor = 0;
    HVCOLORREF clrDlgStatusBG = 0;
    HVCOLORREF clrDlgStatusText = 0;
    HVCOLORREF clrDlgStatusBorder = 0;
    HVCOLORREF clrListBoxText = 0;
    HVCOLORREF clrListBoxBG = 0;
    HVCOLORREF clrListBoxHighlite = 0;
    HVCOLORREF clrListBoxHighliteText = 0;
    HVCOLORREF clrListBoxHighliteBorder = 0;
    HVCOLORREF clrHomePageBorder = 0;
    HVCOLORREF HomePageBorder_Arc = 5;  // corner radius, an integer
    HVCOLORREF clrMsgBoxHeaderStartBK = 0;
    HVCOLORREF clrMsgBoxHeaderEndBK = 0;
    HVCOLORREF clrMsgBoxHeaderBK = 0;
    HVCOLORREF clrMsgBoxControlBK = 0;
};
