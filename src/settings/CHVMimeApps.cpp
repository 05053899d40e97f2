#include "settings/CHVMimeApps.h"

#include "settings/CHVXdgDirs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString kDefaultGroup = QStringLiteral("Default Applications");

QString NormaliseList(const QString& strValue)
{
    return strValue.split(u';', Qt::SkipEmptyParts).join(u';').trimmed();
}

// "[Group]" -> "Group"; null for other lines.
QString GroupOf(const QString& strLine)
{
    const QString strTrimmed = strLine.trimmed();
    if (strTrimmed.startsWith(u'[') && strTrimmed.endsWith(u']')) {
        return strTrimmed.mid(1, strTrimmed.size() - 2);
    }
    return {};
}

// "key=value" with key == strKey.
bool IsEntry(const QString& strLine, const QString& strKey, QString* pstrValue = nullptr)
{
    const qsizetype eq = strLine.indexOf(u'=');
    if (eq < 0 || strLine.left(eq).trimmed() != strKey) {
        return false;
    }
    if (pstrValue != nullptr) {
        *pstrValue = strLine.mid(eq + 1).trimmed();
    }
    return true;
}

QStringList ReadLines(const QString& strFile, bool* pbExists)
{
    QFile file(strFile);
    *pbExists = file.open(QIODevice::ReadOnly);
    if (!*pbExists) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(u'\n');
}

}  // namespace

QStringList CHVMimeApps::LookupFiles()
{
    const QStringList desktops = CHVXdgDirs::CurrentDesktops();
    QStringList files;
    const auto addFolder = [&](const QString& strFolder, bool bLegacy) {
        for (const QString& strDesktop : desktops) {
            files << strFolder + u'/' + strDesktop + QStringLiteral("-mimeapps.list");
        }
        files << strFolder + QStringLiteral("/mimeapps.list");
        if (bLegacy) {
            files << strFolder + QStringLiteral("/defaults.list");
        }
    };
    addFolder(CHVXdgDirs::ConfigHome(), false);
    for (const QString& strDir : CHVXdgDirs::ConfigDirs()) {
        addFolder(strDir, false);
    }
    addFolder(CHVXdgDirs::DataHome() + QStringLiteral("/applications"), true);
    for (const QString& strDir : CHVXdgDirs::DataDirs()) {
        addFolder(strDir + QStringLiteral("/applications"), true);
    }
    return files;
}

std::optional<QString> CHVMimeApps::ReadEntry(const QString& strFile, const QString& strGroup, const QString& strKey)
{
    bool bExists = false;
    QString strCurrent;
    for (const QString& strLine : ReadLines(strFile, &bExists)) {
        const QString strGroupName = GroupOf(strLine);
        if (!strGroupName.isNull()) {
            strCurrent = strGroupName;
            continue;
        }
        QString strValue;
        if (strCurrent == strGroup && IsEntry(strLine, strKey, &strValue)) {
            return strValue;
        }
    }
    return std::nullopt;
}

bool CHVMimeApps::WriteEntry(
    const QString& strFile, const QString& strGroup, const QString& strKey, const QString& strValue, bool* pbChanged)
{
    if (pbChanged != nullptr) {
        *pbChanged = false;
    }
    bool bExists = false;
    QStringList lines = ReadLines(strFile, &bExists);
    if (!bExists && strValue.isNull()) {
        return true;
    }
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();  // the final line break
    }
    const QString strEntry = strKey + u'=' + strValue;
    QString strCurrent;
    qsizetype nGroupEnd = -1;  // index after the group's last non-blank line
    bool bDone = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString strGroupName = GroupOf(lines[i]);
        if (!strGroupName.isNull()) {
            strCurrent = strGroupName;
            if (strCurrent == strGroup) {
                nGroupEnd = i + 1;
            }
            continue;
        }
        if (strCurrent != strGroup) {
            continue;
        }
        if (IsEntry(lines[i], strKey)) {
            if (strValue.isNull()) {
                lines.removeAt(i--);
            } else if (!bDone) {
                lines[i] = strEntry;
                bDone = true;
                nGroupEnd = i + 1;
            } else {
                lines.removeAt(i--);  // a second entry for the key would be ambiguous
            }
            continue;
        }
        if (!lines[i].trimmed().isEmpty()) {
            nGroupEnd = i + 1;
        }
    }
    if (!bDone && !strValue.isNull()) {
        if (nGroupEnd < 0) {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) {
                lines << QString();
            }
            lines << u'[' + strGroup + u']' << strEntry;
        } else {
            lines.insert(nGroupEnd, strEntry);
        }
    }
    const QByteArray text = (lines.join(u'\n') + u'\n').toUtf8();
    QFile current(strFile);
    if (bExists && current.open(QIODevice::ReadOnly) && current.readAll() == text) {
        return true;
    }
    if (!QDir().mkpath(QFileInfo(strFile).absolutePath())) {
        return false;
    }
    QSaveFile file(strFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        return false;
    }
    if (pbChanged != nullptr) {
        *pbChanged = true;
    }
    return true;
}

QString CHVMimeApps::QueryDefault(const QString& strMimeType)
{
    for (const QString& strFile : LookupFiles()) {
        const std::optional<QString> value = ReadEntry(strFile, kDefaultGroup, strMimeType);
        if (value && !NormaliseList(*value).isEmpty()) {
            return NormaliseList(*value);
        }
    }
    return {};
}

bool CHVMimeApps::SetDefault(const QString& strMimeType, const QString& strDesktopIds, bool* pbChanged)
{
    if (pbChanged != nullptr) {
        *pbChanged = false;
    }
    const QString strConfig = CHVXdgDirs::ConfigHome();
    bool bOk = true;
    // A desktop-specific user list wins over the plain one: correct it where it names the type.
    for (const QString& strDesktop : CHVXdgDirs::CurrentDesktops()) {
        const QString strFile = strConfig + u'/' + strDesktop + QStringLiteral("-mimeapps.list");
        if (ReadEntry(strFile, kDefaultGroup, strMimeType)) {
            bool bChanged = false;
            bOk = WriteEntry(strFile, kDefaultGroup, strMimeType, strDesktopIds, &bChanged) && bOk;
            if (pbChanged != nullptr && bChanged) {
                *pbChanged = true;
            }
        }
    }
    const QString strFile = strConfig + QStringLiteral("/mimeapps.list");
    const std::optional<QString> current = ReadEntry(strFile, kDefaultGroup, strMimeType);
    if (current && NormaliseList(*current) == NormaliseList(strDesktopIds)) {
        return bOk;
    }
    bool bChanged = false;
    bOk = WriteEntry(strFile, kDefaultGroup, strMimeType, strDesktopIds, &bChanged) && bOk;
    if (pbChanged != nullptr && bChanged) {
        *pbChanged = true;
    }
    return bOk;
}

bool CHVMimeApps::RemoveDefault(const QString& strMimeType)
{
    const QString strConfig = CHVXdgDirs::ConfigHome();
    QStringList files;
    for (const QString& strDesktop : CHVXdgDirs::CurrentDesktops()) {
        files << strConfig + u'/' + strDesktop + QStringLiteral("-mimeapps.list");
    }
    files << strConfig + QStringLiteral("/mimeapps.list");
    bool bOk = true;
    for (const QString& strFile : files) {
        bOk = WriteEntry(strFile, kDefaultGroup, strMimeType, QString()) && bOk;
    }
    return bOk;
}
