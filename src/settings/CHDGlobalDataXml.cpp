// CHDGlobalData: the readers of configuration and theme values.
#include "settings/CHDGlobalData.h"
#include "xml/CXmlDocument.h"

#include <limits>

namespace {

// The text of the first child element strKey of the current element; null when there is none.
QString ChildText(CXmlDocument& doc, const QString& strKey, bool bResetChildPosition, bool& bFound)
{
    if (bResetChildPosition) {
        doc.RestartChildSearch();
    }
    bFound = doc.FindChildElement(strKey);
    return bFound ? doc.GetChildElementData() : QString();
}

// A whole decimal or (bHex) "0x" hexadecimal number in 32 bits; hexadecimal keeps the bits.
bool ParseNumber(QString strText, bool bHex, int& nValue)
{
    strText = strText.trimmed();
    bool bOk = false;
    if (bHex && (strText.startsWith(QLatin1String("0x")) || strText.startsWith(QLatin1String("0X")))) {
        const QStringView digits = QStringView(strText).mid(2);
        if (digits.isEmpty() || digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-'))) {
            return false;
        }
        const uint nBits = digits.toUInt(&bOk, 16);
        if (bOk) {
            nValue = static_cast<int>(nBits);
        }
        return bOk;
    }
    const qlonglong n = strText.toLongLong(&bOk, 10);
    if (!bOk || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max()) {
        return false;
    }
    nValue = static_cast<int>(n);
    return true;
}

}  // namespace

int CHDGlobalData::XML_TO_STRING(CXmlDocument& doc, const QString& strKey, QString& strOut, bool bResetChildPosition)
{
    bool bFound = false;
    const QString strText = ChildText(doc, strKey, bResetChildPosition, bFound);
    if (!bFound || strText.isEmpty()) {
        return 0;
    }
    strOut = strText;
    return 1;
}

int CHDGlobalData::XML_TO_BOOL(CXmlDocument& doc, const QString& strKey, int& nOut, bool bResetChildPosition)
{
    bool bFound = false;
    const QString strText = ChildText(doc, strKey, bResetChildPosition, bFound);
    if (strText.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) {
        nOut = 1;
        return 1;
    }
    if (strText.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
        nOut = 0;
        return 1;
    }
    return 0;
}

int CHDGlobalData::XML_TO_INT(CXmlDocument& doc, const QString& strKey, int& nOut, bool bResetChildPosition)
{
    bool bFound = false;
    const QString strText = ChildText(doc, strKey, bResetChildPosition, bFound);
    return bFound && ParseNumber(strText, false, nOut) ? 1 : 0;
}

int CHDGlobalData::XML_TO_HEX(CXmlDocument& doc, const QString& strKey, int& nOut, bool bResetChildPosition)
{
    bool bFound = false;
    const QString strText = ChildText(doc, strKey, bResetChildPosition, bFound);
    return bFound && ParseNumber(strText, true, nOut) ? 1 : 0;
}
