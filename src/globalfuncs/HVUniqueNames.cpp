#include "globalfuncs/HVUniqueNames.h"

#include "globalfuncs/CHVGlobalFunc.h"
#include "globalfuncs/HVInternal.h"

#include <sys/stat.h>

namespace HVGlobalMFC {

namespace {

constexpr int kMaxTries = 100000;

bool Exists(const QString& path)
{
    struct stat st
    {
    };
    return lstat(detail::Native(path).constData(), &st) == 0;
}

struct NameParts
{
    QString folder;  // with its trailing '/', or empty
    QString base;
    QString ext;  // with its '.', or empty
};

NameParts Split(const QString& path)
{
    NameParts parts;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    parts.folder = path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        parts.base = name.left(dot);
        parts.ext = name.mid(dot);
    } else {
        parts.base = name;
    }
    return parts;
}

template <typename MakeName>
QString FirstFree(int first, MakeName make)
{
    for (int n = first; n < first + kMaxTries; ++n) {
        const QString candidate = make(n);
        if (!Exists(candidate))
            return candidate;
    }
    return {};
}

}  // namespace

QString HV_FindFileAndRenameIfExist(const QString& path)
{
    if (path.isEmpty() || !Exists(path))
        return path;
    const NameParts p = Split(path);
    return FirstFree(1,
                     [&](int n) { return p.folder + QString::asprintf("%s(%d)", qUtf8Printable(p.base), n) + p.ext; });
}

QString HVFindFileAndRenameIfExist00X(const QString& path, const QString& extPrefix)
{
    if (path.isEmpty() || !Exists(path))
        return path;
    if (extPrefix.isEmpty())
        return FirstFree(1, [&](int n) { return path + QString::asprintf(".%.3d", n); });
    const NameParts p = Split(path);
    return FirstFree(
        1, [&](int n) { return p.folder + p.base + QLatin1Char('.') + extPrefix + QString::asprintf("%.3d", n); });
}

QString HVFindFileAndRenameIfExist_Copy(const QString& path)
{
    if (path.isEmpty() || !Exists(path))
        return path;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    const QString first =
        folder + g_GlobalData.m_strCopy + QLatin1Char(' ') + g_GlobalData.m_strOf + QLatin1Char(' ') + name;
    if (!Exists(first))
        return first;
    return FirstFree(2, [&](int n) {
        return folder + g_GlobalData.m_strCopy + QStringLiteral(" (%1) ").arg(n) + g_GlobalData.m_strOf
               + QLatin1Char(' ') + name;
    });
}

QString HVCheckRepeatedString(const QString& text, const QStringList& names)
{
    if (!names.contains(text, Qt::CaseInsensitive))
        return text;
    for (int n = 1; n <= names.size() + 1; ++n) {
        const QString candidate = text + QStringLiteral("(%1)").arg(n);
        if (!names.contains(candidate, Qt::CaseInsensitive))
            return candidate;
    }
    return {};  // not reached: names.size() + 1 candidates cannot all be taken
}

}  // namespace HVGlobalMFC
