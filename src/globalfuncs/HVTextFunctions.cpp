#include "globalfuncs/HVTextFunctions.h"

#include "globalfuncs/HVCodePage.h"

#include <QStringList>
#include <QUuid>

namespace HVGlobalMFC {

namespace {

int PartNumber(const QStringList& parts, qsizetype i, bool* ok = nullptr)
{
    bool parsed = false;
    int value = 0;
    if (i < parts.size()) {
        const QString part = parts.at(i).trimmed();
        // Digits only: no sign, no blanks inside.
        bool digits = !part.isEmpty();
        for (const QChar ch : part)
            digits = digits && ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
        if (digits)
            value = part.toInt(&parsed);
        if (!parsed)
            value = 0;
    }
    if (ok)
        *ok = parsed;
    return value;
}

bool EmailChar(QChar ch)
{
    const char16_t c = ch.unicode();
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'@' || c == u'-'
           || c == u'.' || c == u'_';
}

}  // namespace

QString BOOL_TO_S(int value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

int S_TO_BOOL(const QString& text, int& value)
{
    value = text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ? 1 : 0;
    return value;
}

int S_TO_INT(const QString& text, int& value)
{
    bool ok = false;
    value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        value = 0;
    return ok ? 1 : 0;
}

int HVIsUnicodeChar(const QString& text)
{
    const int codePage = HVCodePage::LocaleCodePage();
    bool ok = true;
    const QByteArray bytes = HVCodePage::FromUnicode(text, codePage, &ok);
    if (!ok)
        return 1;
    return HVCodePage::ToUnicode(bytes, codePage) == text ? 0 : 1;
}

int ParseVersionString(const QString& text, int& major, int& minor, int& build)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    bool ok = false;
    major = PartNumber(parts, 0, &ok);
    minor = PartNumber(parts, 1);
    build = PartNumber(parts, 2);
    return ok ? 1 : 0;
}

HVVersion ParseVersionString1(const QString& text)
{
    HVVersion v;
    ParseVersionString(text, v.major, v.minor, v.build);
    return v;
}

bool IsValidEmailAddressSyntax(const QString& text)
{
    if (text.size() < 6)
        return false;
    for (const QChar ch : text) {
        if (!EmailChar(ch))
            return false;
    }
    const qsizetype at = text.indexOf(QLatin1Char('@'));
    if (at <= 0 || text.indexOf(QLatin1Char('@'), at + 1) >= 0)
        return false;
    if (text.size() - at > 68)
        return false;
    const qsizetype lastDot = text.lastIndexOf(QLatin1Char('.'));
    if (lastDot <= at + 1 || text.size() - lastDot - 1 < 2)
        return false;
    if (text.startsWith(QLatin1Char('.')) || text.at(at - 1) == QLatin1Char('.') || text.contains(QLatin1String("..")))
        return false;
    return true;
}

int HVCreateStringGUID(QString& guid)
{
    guid = QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
    return 1;
}

QString MyLoadString(unsigned id, const QString& module)
{
    (void)id;
    (void)module;
    return {};
}

}  // namespace HVGlobalMFC
