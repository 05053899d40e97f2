#include "globalfuncs/CBackupFilterManager.h"

#include "globalfuncs/HVInternal.h"
#include "globalfuncs/HVShellFunctions.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

using namespace HVGlobalMFC;

namespace {

struct Row
{
    const char* placeholder;
    int folderId;  // -1: computed below
};

// Table order matters: earlier placeholders are replaced first.
constexpr Row kRows[] = {
    {"$$P_WIN$$", 36},
    {"$$P_WINTEMP$$", -1},
    {"$$P_COMMON_PROGRAMFILES$$", 43},
    {"$$P_COMMON_DOCUMENTS$$", 46},
    {"$$P_COMMON_DESKTOP$$", 25},
    {"$$P_CONNECTIONS$$", 49},
    {"$$P_COMMON_MUSIC$$", 53},
    {"$$P_COMMON_PICTURES$$", 54},
    {"$$P_COMMON_VIDEO$$", 55},
    {"$$P_CDBURN_AREA$$", 59},
    {"$$P_COMMON_TEMPLATES$$", 45},
    {"$$P_NETHOOD$$", 19},
    {"$$P_MYMUSIC$$", 13},
    {"$$P_MYPICTURES$$", 39},
    {"$$P_PROGRAM_FILES$$", 38},
    {"$$P_DESKTOP$$", 16},
    {"$$P_PROGRAMS$$", 2},
    {"$$P_STARTMENU$$", 11},
    {"$$P_APPDATA$$", 26},
    {"$$P_SENDTO$$", 9},
    {"$$P_STARTUP$$", 7},
    {"$$P_COOKIES$$", 33},
    {"$$P_FAVORITES$$", 6},
    {"$$P_HISTORY$$", 34},
    {"$$P_INTERNET_CACHE$$", 32},
    {"$$P_PERSONAL$$", 5},
    {"$$P_RECENT$$", 8},
    {"$$P_TEMPLATES$$", 21},
    {"$$P_SYSTEM$$", 37},
    {"$$P_LOCAL_APPDATA$$", 28},
    {"$$P_COMPUTERNAME$$", -2},
    {"$$P_USERNAME$$", -3},
    {"$$P_COMMON_PROGRAMS$$", 23},
    {"$$P_COMMON_STARTMENU$$", 22},
    {"$$P_COMMON_APPDATA$$", 35},
    {"$$P_COMMON_STARTUP$$", 24},
};

const QString kAppPath = QStringLiteral("$$P_APPPATH$$");
const QString kAppPathExe = QStringLiteral("$$P_APPPATHEXE$$");

bool ReplaceAll(QString& text, const QString& what, const QString& with, Qt::CaseSensitivity cs)
{
    if (what.isEmpty() || !text.contains(what, cs))
        return false;
    text.replace(what, with, cs);
    return true;
}

// Replaces name where it is not part of a longer word or file name.
bool ReplaceWord(QString& text, const QString& name, const QString& with)
{
    if (name.isEmpty() || !text.contains(name))
        return false;
    const QRegularExpression re(
        QStringLiteral("(?<![\\w.-])%1(?![\\w-]|\\.\\w)").arg(QRegularExpression::escape(name)));
    const QString before = text;
    text.replace(re, with);
    return text != before;
}

}  // namespace

void CBackupFilterManager::Initialize()
{
    m_arrPlaceholders.clear();
    m_arrValues.clear();
    m_strUserName = HVGetUserName();
    m_strComputerName = HVGetComputerName();
    for (const Row& row : kRows) {
        QString value;
        switch (row.folderId) {
        case -1:
            value = HVGetTempFolder();
            break;
        case -2:
            value = m_strComputerName;
            break;
        case -3:
            value = m_strUserName;
            break;
        default:
            value = HV_GetSpecialFolder(row.folderId);
            break;
        }
        if (value.isEmpty())
            continue;
        m_arrPlaceholders.append(QLatin1String(row.placeholder));
        m_arrValues.append(value);
    }
}

void CBackupFilterManager::SetAppPath(const QString& folder, const QString& file)
{
    m_strAppPath = folder;
    while (m_strAppPath.size() > 1 && m_strAppPath.endsWith(QLatin1Char('/')))
        m_strAppPath.chop(1);
    m_strAppPathExe = file;
}

void CBackupFilterManager::AddReplacement(const QString& name, const QString& value)
{
    m_arrOtherNames.append(name);
    m_arrOtherValues.append(value);
}

int CBackupFilterManager::FilterString(QString& text, bool withAppPaths, bool doubleBackslashes) const
{
    auto value = [doubleBackslashes](QString v) {
        if (doubleBackslashes)
            v.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        return v;
    };
    bool any = false;
    for (qsizetype i = 0; i < m_arrPlaceholders.size(); ++i)
        any |= ReplaceAll(text, m_arrPlaceholders.at(i), value(m_arrValues.at(i)), Qt::CaseInsensitive);
    for (qsizetype i = 0; i < m_arrOtherNames.size(); ++i)
        any |= ReplaceAll(text, m_arrOtherNames.at(i), value(m_arrOtherValues.at(i)), Qt::CaseInsensitive);
    if (withAppPaths) {
        if (!m_strAppPathExe.isEmpty())
            any |= ReplaceAll(text, kAppPathExe, value(m_strAppPathExe), Qt::CaseInsensitive);
        if (!m_strAppPath.isEmpty())
            any |= ReplaceAll(text, kAppPath, value(m_strAppPath), Qt::CaseInsensitive);
    }
    return any ? 1 : 0;
}

int CBackupFilterManager::FilterString_Reverse(QString& text) const
{
    struct Pair
    {
        QString value;
        QString name;
        bool word;
    };
    std::vector<Pair> pairs;
    for (qsizetype i = 0; i < m_arrValues.size(); ++i) {
        const QString& v = m_arrValues.at(i);
        pairs.push_back({v, m_arrPlaceholders.at(i), v == m_strUserName || v == m_strComputerName});
    }
    for (qsizetype i = 0; i < m_arrOtherValues.size(); ++i)
        pairs.push_back({m_arrOtherValues.at(i), m_arrOtherNames.at(i), false});
    pairs.push_back({m_strAppPathExe, kAppPathExe, false});
    pairs.push_back({m_strAppPath, kAppPath, false});
    std::stable_sort(
        pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.value.size() > b.value.size(); });

    QString result = text;
    bool any = false;
    for (const Pair& p : pairs) {
        // "/" alone would turn every separator into a placeholder.
        if (p.value.size() < 2 && !p.word)
            continue;
        any |= p.word ? ReplaceWord(result, p.value, p.name) : ReplaceAll(result, p.value, p.name, Qt::CaseSensitive);
    }
    if (any)
        text = result;
    return any ? 1 : 0;
}

int CBackupFilterManager::FilterFile(const QString& path, bool withAppPaths, bool doubleBackslashes) const
{
    return RewriteFile(path, path, false, withAppPaths, doubleBackslashes);
}

int CBackupFilterManager::FilterFile_Reverse(const QString& path) const
{
    return RewriteFile(path, path, true, false, false);
}

int CBackupFilterManager::IsFileAscII(const QString& path)
{
    static const QStringList kText = {
        QStringLiteral("reg"),  QStringLiteral("txt"),  QStringLiteral("log"),     QStringLiteral("html"),
        QStringLiteral("htm"),  QStringLiteral("xml"),  QStringLiteral("java"),    QStringLiteral("vbs"),
        QStringLiteral("css"),  QStringLiteral("rc"),   QStringLiteral("ini"),     QStringLiteral("inf"),
        QStringLiteral("cfg"),  QStringLiteral("conf"), QStringLiteral("csv"),     QStringLiteral("js"),
        QStringLiteral("json"), QStringLiteral("c"),    QStringLiteral("cpp"),     QStringLiteral("h"),
        QStringLiteral("hpp"),  QStringLiteral("py"),   QStringLiteral("sh"),      QStringLiteral("bat"),
        QStringLiteral("cmd"),  QStringLiteral("md"),   QStringLiteral("desktop"),
    };
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return 0;
    return kText.contains(name.mid(dot + 1), Qt::CaseInsensitive) ? 1 : 0;
}
