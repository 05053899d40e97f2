// The dark variant of the built-in colours, taken when the desktop's palette is dark.
#include "ui/CThemeColors.h"

#include <cstring>

namespace {

struct SDark
{
    const char* pszKey;
    std::uint32_t nRrggbb;
};

// Backgrounds dark, texts light; the list box and its highlight keep the desktop's colours.
constexpr SDark kDark[] = {
    {"clrDlgBkSub", 0x2B2B2B},
    {"clrDlgBk", 0x202124},
    {"clrDlgText", 0xE8E8E8},
    {"clrBtnBk", 0x3A5A8C},
    {"clrBtnBkHot", 0x4A6FA8},
    {"clrTitleTextFill", 0x2A2D33},
    {"clrTitleText", 0x9CC3FF},
    {"clrTitleTextSchedaule", 0xE8E8E8},
    {"clrTitleTextPref", 0xFFFFFF},
    {"clrTitleBorder", 0x4A5568},
    {"clrTitleGradiant1", 0x2F3B52},
    {"clrTitleGradiant2", 0x2F3B52},
    {"clrLineHi", 0x4A6FA8},
    {"clrLineText", 0x9CC3FF},
    {"clrTitleMainText", 0xFFFFFF},
    {"clrTitleSubGradiant1", 0x3A3F4A},
    {"clrTitleSubGradiant2", 0x2A2D33},
    {"clrDlgBkPref", 0x26282C},
    {"clrProgressGrad1", 0x3A5A8C},
    {"clrProgressGrad2", 0x6F8FC0},
    {"clrProgressText", 0xFFFFFF},
    {"clrProgressTextOn", 0xE8E8E8},
    {"clrDlgMonitorBk", 0x202124},
    {"clrDlgCollapseBk", 0x2A2F3A},
    {"clrDlgCollapseText", 0xE8E8E8},
    {"clrDlgCollapseSep", 0x3A4250},
    {"clrDlgCollapseSep1", 0x202124},
    {"clrDlgCollapseTextSelected", 0xB8C8E8},
    {"clrGPagesStatusBar", 0x2B2B2B},
    {"clrBtnHelpText", 0x8AB4F8},
    {"clrHomePageText", 0x9CC3FF},
    {"clrUrgentNote", 0xFF7B72},
    {"clrDlgBtnFace", 0x3C3F44},
    {"clrDlgBtnFaceHot", 0x4A4E55},
    {"clrDlgBtnTextHot", 0xFFFFFF},
    {"clrDlgBtnText", 0xE8E8E8},
    {"clrDlgBtnDisableText", 0xA0A0A0},
    {"clrDlgBtnDisableFace", 0x303236},
    {"clrDlgBtnMonitorText", 0xE8E8E8},
    {"clrDlgBtnMonitorTextHot", 0xFFFFFF},
    {"clrDlgBtnMonitorbkHot", 0x3A5A8C},
    {"clrDlgBtnMonitorbk", 0x303236},
    {"clrLinkColor", 0x8AB4F8},
    {"clrDlgStatusBG", 0x3A3F4A},
    {"clrDlgStatusText", 0xFFFFFF},
    {"clrDlgStatusBorder", 0x000000},
};

}  // namespace

void CThemeColors::ApplyDarkVariant()
{
    for (const SDark& dark : kDark) {
        if (const SKey* pKey = Find(dark.pszKey)) {
            Value(*pKey) = HVRgb((dark.nRrggbb >> 16) & 0xFFu, (dark.nRrggbb >> 8) & 0xFFu, dark.nRrggbb & 0xFFu);
        }
    }
}
