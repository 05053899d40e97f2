#include "ui/CThemeFile.h"

#include "settings/CHDGlobalData.h"
#include "xml/CXmlDocument.h"

namespace {

const std::array<const char*, CThemeFile::kImageKeys> kImageKeyNames = {
    "MainHeader",
    "MainHeaderR",
    "MainFoter",
    "MainFoterR",
    "Btn_SecureData",
    "Btn_HideManagment",
    "Btn_Decrypt",
    "SecureHeader",
    "HideHeader",
    "DecryptHeader",
    "InnerHeaderR",
    "Btn_Help",
    "InnerFoter",
    "InnerFoterR",
    "Btn_Next",
    "Btn_Start",
    "Btn_Previous",
    "WelcomeImageList",
    "MainImageList",
    "MasterPassword",
    "SetMasterPassword",
    "EncryptPassword",
    "MasterPasswordSmall",
    "EncryptPasswordSmall",
    "BtnHome",
    "AboutHeader",
    "ThankHeader",
    "HeaderTiral",
    "Progress",
};

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    return 0;  // any other character counts as the digit 0 ("#FF0000" reads as "0FF0000")
}

}  // namespace

const std::array<const char*, CThemeFile::kImageKeys>& CThemeFile::ImageKeys()
{
    return kImageKeyNames;
}

int CThemeFile::ImageIndex(const QString& strKey)
{
    for (std::size_t i = 0; i < kImageKeyNames.size(); ++i) {
        if (strKey == QLatin1String(kImageKeyNames[i])) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::optional<HVCOLORREF> CThemeFile::ParseColor(const QString& strText)
{
    // Blanks around the value (a pretty-printed file) would otherwise count as zero digits and
    // shift the colour; they are not part of it.
    const QString strValue = strText.trimmed();
    if (strValue.isEmpty()) {
        return std::nullopt;
    }
    qsizetype i = 0;
    const bool bNegative = strValue[0] == QLatin1Char('-');
    if (bNegative) {
        i = 1;
    }
    std::uint32_t v = 0;
    for (; i < strValue.size(); ++i) {
        v = v * 16u + static_cast<std::uint32_t>(HexDigit(strValue[i]));  // wraps like a 32-bit number
    }
    if (bNegative) {
        v = 0u - v;
    }
    return HVRgb((v >> 16) & 0xFFu, (v >> 8) & 0xFFu, v & 0xFFu);
}

int CThemeFile::XML_TO_COLOR(CXmlDocument& doc, const QString& strKey, HVCOLORREF& nOut, bool bResetChildPosition)
{
    if (bResetChildPosition) {
        doc.RestartChildSearch();
    }
    if (!doc.FindChildElement(strKey)) {
        return 0;
    }
    const std::optional<HVCOLORREF> value = ParseColor(doc.GetChildElementData());
    if (!value) {
        return 0;
    }
    nOut = *value;
    return 1;
}

CThemeFile::EResult
CThemeFile::Read(const QString& strText, std::array<SImage, kImageKeys>& aImages, CThemeColors& colors)
{
    CXmlDocument doc;
    if (strText.isEmpty() || !doc.SetDocument(strText)) {
        return EResult::NoText;
    }
    if (!doc.FindElement(QStringLiteral("Theme"))) {
        return EResult::NoTheme;
    }
    if (doc.FindChildElement(QStringLiteral("Bitmaps")) && doc.EnterElement()) {
        for (std::size_t i = 0; i < kImageKeyNames.size(); ++i) {
            const QString strKey = QLatin1String(kImageKeyNames[i]);
            int nChecksum = 0;
            if (CHDGlobalData::XML_TO_HEX(doc, strKey + QLatin1String("_CRC"), nChecksum, true)) {
                aImages[i].checksum = nChecksum;
            }
            QString strFile;
            if (CHDGlobalData::XML_TO_STRING(doc, strKey, strFile, true)) {
                aImages[i].strFile = strFile;
            }
        }
        (void)doc.LeaveElement();
    }
    // The search goes on from "Bitmaps": a "Colors" section before it is not seen.
    if (!doc.FindChildElement(QStringLiteral("Colors")) || !doc.EnterElement()) {
        return EResult::Read;
    }
    for (const CThemeColors::SKey& key : CThemeColors::Table()) {
        const QString strKey = QLatin1String(key.pszKey);
        HVCOLORREF& value = colors.Value(key);
        int n = static_cast<int>(value);
        switch (key.kind) {
        case CThemeColors::EKind::Color:
            XML_TO_COLOR(doc, strKey, value, true);
            break;
        case CThemeColors::EKind::Flag:
            if (CHDGlobalData::XML_TO_BOOL(doc, strKey, n, true)) {
                value = static_cast<HVCOLORREF>(n);
            }
            break;
        case CThemeColors::EKind::Integer:
            if (CHDGlobalData::XML_TO_INT(doc, strKey, n, true)) {
                value = static_cast<HVCOLORREF>(n);
            }
            break;
        }
    }
    (void)doc.LeaveElement();
    return EResult::Read;
}
