#include "ui/CThemeColors.h"

#include <cstring>

namespace {

// A colour as the theme file writes it (RRGGBB) turned into the kept form (0x00BBGGRR).
constexpr HVCOLORREF Rgb(std::uint32_t rrggbb)
{
    return HVRgb((rrggbb >> 16) & 0xFFu, (rrggbb >> 8) & 0xFFu, rrggbb & 0xFFu);
}

using K = CThemeColors::EKind;
using S = EThemeSysColor;
using C = CThemeColors;

#define HV_COLOR(name, rrggbb, access)                                                                                 \
    C::SKey                                                                                                            \
    {                                                                                                                  \
#name, &C::name, K::Color, Rgb(rrggbb), S::None, access                                                        \
    }
#define HV_SYSCOLOR(name, sys, access)                                                                                 \
    C::SKey                                                                                                            \
    {                                                                                                                  \
#name, &C::name, K::Color, 0, sys, access                                                                      \
    }

const std::array<C::SKey, C::kCount> kTable = {{
    HV_COLOR(clrDlgBkSub, 0xF8F8F8, S::ButtonFace),
    HV_COLOR(clrDlgBk, 0xFFFFFF, S::ButtonFace),
    HV_COLOR(clrDlgText, 0x000000, S::WindowText),
    HV_COLOR(clrBtnBk, 0x617094, S::ButtonFace),
    HV_COLOR(clrBtnBkHot, 0xF7F7DB, S::ButtonFace),
    HV_COLOR(clrTitleTextFill, 0xFFFFFF, S::Window),
    HV_COLOR(clrTitleText, 0x004E98, S::CaptionText),
    HV_COLOR(clrTitleTextSchedaule, 0x000000, S::WindowText),
    HV_COLOR(clrTitleTextPref, 0xFFFFFF, S::CaptionText),
    HV_COLOR(clrTitleBorder, 0xABC1E6, S::WindowText),
    HV_COLOR(clrTitleGradiant1, 0xC2D4F3, S::ActiveCaption),
    HV_COLOR(clrTitleGradiant2, 0xC2D4F3, S::ActiveCaption),
    HV_COLOR(clrLineHi, 0x9BBBE8, S::WindowText),
    HV_COLOR(clrLineText, 0x004E98, S::WindowText),
    HV_COLOR(clrTitleMainText, 0xFFFFFF, S::WindowText),
    HV_COLOR(clrTitleSubGradiant1, 0xAAAAAA, S::ActiveCaption),
    HV_COLOR(clrTitleSubGradiant2, 0xFFFFFF, S::ActiveCaption),
    HV_COLOR(clrDlgBkPref, 0xF7F7F7, S::ButtonFace),
    HV_COLOR(clrProgressGrad1, 0x617094, S::ActiveCaption),
    HV_COLOR(clrProgressGrad2, 0x9BB5CE, S::ActiveCaption),
    HV_COLOR(clrProgressText, 0xFFFFFF, S::CaptionText),
    HV_COLOR(clrProgressTextOn, 0x000000, S::WindowText),
    HV_COLOR(clrDlgMonitorBk, 0xFFFFFF, S::ButtonFace),
    HV_COLOR(clrDlgCollapseBk, 0xE6EDF7, S::ButtonFace),
    HV_COLOR(clrDlgCollapseText, 0x000000, S::ButtonText),
    HV_COLOR(clrDlgCollapseSep, 0xC5D2E6, S::DarkShadow3D),
    HV_COLOR(clrDlgCollapseSep1, 0xFFFFFF, S::Light3D),
    C::SKey{"clrDlgCollapseTextAlign", &C::clrDlgCollapseTextAlign, K::Flag, 1, S::None, S::None},
    HV_COLOR(clrDlgCollapseTextSelected, 0x4E5F7B, S::ButtonText),
    HV_COLOR(clrGPagesStatusBar, 0xEEEEEE, S::ButtonFace),
    HV_COLOR(clrBtnHelpText, 0x0000FF, S::WindowText),
    HV_COLOR(clrHomePageText, 0x04468B, S::WindowText),
    HV_COLOR(clrUrgentNote, 0xFF0000, S::WindowText),
    HV_COLOR(clrDlgBtnFace, 0xD4D0C8, S::ButtonFace),
    HV_COLOR(clrDlgBtnFaceHot, 0xEAE8E4, S::ButtonFace),
    HV_COLOR(clrDlgBtnTextHot, 0x000000, S::ButtonText),
    HV_COLOR(clrDlgBtnText, 0x000000, S::ButtonText),
    HV_COLOR(clrDlgBtnDisableText, 0x8C8C8C, S::GrayText),
    HV_COLOR(clrDlgBtnDisableFace, 0xDCDCDC, S::ButtonFace),
    HV_COLOR(clrDlgBtnMonitorText, 0x000000, S::ButtonText),
    HV_COLOR(clrDlgBtnMonitorTextHot, 0xFFFFFF, S::ButtonText),
    HV_COLOR(clrDlgBtnMonitorbkHot, 0x617094, S::ButtonFace),
    HV_COLOR(clrDlgBtnMonitorbk, 0xE1E1E1, S::ButtonFace),
    HV_COLOR(clrLinkColor, 0x617094, S::ButtonText),
    HV_COLOR(clrDlgStatusBG, 0xAAAAAA, S::Window),
    HV_COLOR(clrDlgStatusText, 0xFFFFFF, S::WindowText),
    HV_COLOR(clrDlgStatusBorder, 0x000000, S::Window),
    HV_SYSCOLOR(clrListBoxText, S::WindowText, S::WindowText),
    HV_SYSCOLOR(clrListBoxBG, S::Window, S::Window),
    HV_SYSCOLOR(clrListBoxHighlite, S::Highlight, S::Highlight),
    HV_SYSCOLOR(clrListBoxHighliteText, S::HighlightText, S::HighlightText),
    HV_SYSCOLOR(clrListBoxHighliteBorder, S::Highlight, S::Highlight),
    HV_SYSCOLOR(clrHomePageBorder, S::WindowText, S::WindowText),
    C::SKey{"HomePageBorder_Arc", &C::HomePageBorder_Arc, K::Integer, 5, S::None, S::None},
    HV_COLOR(clrMsgBoxHeaderStartBK, 0x000000, S::None),
    HV_COLOR(clrMsgBoxHeaderEndBK, 0x000000, S::None),
    HV_COLOR(clrMsgBoxHeaderBK, 0x000000, S::None),
    HV_COLOR(clrMsgBoxControlBK, 0x000000, S::None),
}};

#undef HV_COLOR
#undef HV_SYSCOLOR

}  // namespace

const std::array<CThemeColors::SKey, CThemeColors::kCount>& CThemeColors::Table()
{
    return kTable;
}

const CThemeColors::SKey* CThemeColors::Find(const char* pszKey)
{
    for (const SKey& key : kTable) {
        if (std::strcmp(key.pszKey, pszKey) == 0) {
            return &key;
        }
    }
    return nullptr;
}

void CThemeColors::SetDefaults(const SysResolver& sys, bool bAccessibility)
{
    for (const SKey& key : kTable) {
        const EThemeSysColor from = bAccessibility ? key.sysAccessible : key.sysDefault;
        Value(key) = from != EThemeSysColor::None && sys ? sys(from) : key.nDefault;
    }
    clrDlgCollapseTextAlign = 1;
    HomePageBorder_Arc = 5;
}
