#include "resources/HVResourceStrings.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcHvResources)

QString HVLoadString(unsigned nId)
{
    return CResourceModule::Instance().String(nId);
}

bool HVHasString(unsigned nId)
{
    return CResourceModule::Instance().HasString(nId);
}

QString HVImagePath(HVImageKind kind, unsigned nId)
{
    return CResourceModule::Instance().ImagePath(kind, nId);
}

QString HVFormatText(const QString& strTemplate, const QStringList& args)
{
    QString out;
    out.reserve(strTemplate.size() + 64);
    qsizetype nNext = 0;
    const qsizetype n = strTemplate.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = strTemplate[i];
        if (c != QLatin1Char('%') || i + 1 >= n) {
            out += c;
            continue;
        }
        const QChar chConversion = strTemplate[i + 1];
        if (chConversion == QLatin1Char('%')) {
            out += c;
            ++i;
        } else if (chConversion == QLatin1Char('s') || chConversion == QLatin1Char('d')
                   || chConversion == QLatin1Char('u')) {
            if (nNext < args.size()) {
                out += args[nNext];
            } else {
                qCWarning(lcHvResources, "too few arguments for \"%s\"", qUtf8Printable(strTemplate));
                out += c;
                out += chConversion;
            }
            ++nNext;
            ++i;
        } else {
            out += c;
        }
    }
    if (nNext < args.size()) {
        qCWarning(lcHvResources, "too many arguments for \"%s\"", qUtf8Printable(strTemplate));
    }
    return out;
}
