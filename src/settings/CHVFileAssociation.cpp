#include "settings/CHVFileAssociation.h"

#include "settings/CHVMimeApps.h"
#include "settings/CHVXdgDirs.h"
#include "settings/CRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <utility>

namespace {

// The first 8 bytes of every .hvnc file, as a shared-mime-info string.
constexpr const char* kMagicText = R"(HVNC\r\n\x1a\n)";

bool HasControlCharacters(const QString& strText)
{
    for (QChar c : strText) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            return true;
        }
    }
    return false;
}

// One Exec argument, quoted as the desktop-entry rules ask, then written as a string value
// of the entry (its backslashes doubled again).
QString ExecArgument(const QString& strArgument)
{
    QString strQuoted = QStringLiteral("\"");
    for (QChar c : strArgument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            strQuoted += u'\\';
        } else if (c == u'%') {
            strQuoted += u'%';  // a literal percent sign is "%%"
        }
        strQuoted += c;
    }
    strQuoted += u'"';
    strQuoted.replace(u'\\', QStringLiteral("\\\\"));
    return strQuoted;
}

}  // namespace

CHVFileAssociation::CHVFileAssociation(QString strProgram)
    : m_strProgram(std::move(strProgram))
{
}

QString CHVFileAssociation::MimePackagePath()
{
    return CHVXdgDirs::DataHome() + QStringLiteral("/mime/packages/") + QLatin1StringView(kMimePackage);
}

QString CHVFileAssociation::DesktopEntryPath()
{
    return CHVXdgDirs::DataHome() + QStringLiteral("/applications/") + QLatin1StringView(kDesktopId);
}

QString CHVFileAssociation::MimePackageText()
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                          "  <mime-type type=\"%1\">\n"
                          "    <comment>Halvo Norvane encrypted file</comment>\n"
                          "    <magic priority=\"80\">\n"
                          "      <match type=\"string\" offset=\"0\" value=\"%2\"/>\n"
                          "    </magic>\n"
                          "    <glob pattern=\"*.hvnc\"/>\n"
                          "  </mime-type>\n"
                          "</mime-info>\n")
        .arg(QLatin1StringView(kMimeType), QLatin1StringView(kMagicText));
}

QString CHVFileAssociation::DesktopEntryText(const QString& strProgram)
{
    if (strProgram.isEmpty() || !QDir::isAbsolutePath(strProgram) || HasControlCharacters(strProgram)) {
        return {};
    }
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.0\n"
                          "Name=Halvo Norvane\n"
                          "Comment=Decrypt an encrypted file\n"
                          "Exec=%1 -d -fp %f\n"
                          "TryExec=%3\n"
                          "Icon=halvonorvane\n"
                          "MimeType=%2;\n"
                          "NoDisplay=true\n"
                          "Terminal=false\n")
        .arg(ExecArgument(strProgram),
             QLatin1StringView(kMimeType),
             QString(strProgram).replace(u'\\', QStringLiteral("\\\\")));
}

QString CHVFileAssociation::StoredOld()
{
    CRegistry reg(HVRegRoot::CurrentUser);
    QString strOld;
    if (reg.Open(HVRegRoot::CurrentUser, QString::fromLatin1(kOldKey), HV_KEY_READ)
        && reg.Read(QString::fromLatin1(kOldValue), strOld)) {
        return strOld;
    }
    return {};
}

bool CHVFileAssociation::WriteIfChanged(const QString& strPath, const QByteArray& text, bool& bChanged)
{
    bChanged = false;
    QFile current(strPath);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == text) {
        return true;
    }
    current.close();
    if (!QDir().mkpath(QFileInfo(strPath).absolutePath())) {
        return false;
    }
    QSaveFile file(strPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        return false;
    }
    bChanged = true;
    return true;
}

void CHVFileAssociation::RunTool(const QString& strTool, const QString& strFolder)
{
    const QString strPath = QStandardPaths::findExecutable(strTool);
    if (strPath.isEmpty() || !QFileInfo(strFolder).isDir()) {
        return;  // a desktop without the tool reads the sources directly
    }
    QProcess process;
    process.setProgram(strPath);
    process.setArguments({strFolder});
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (process.waitForStarted() && !process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
}

bool CHVFileAssociation::Associate()
{
    m_bRefreshed = false;
    const QString strEntry = DesktopEntryText(m_strProgram);
    if (strEntry.isNull()) {
        return false;
    }
    const QString strMimeType = QString::fromLatin1(kMimeType);
    const QString strOurs = QString::fromLatin1(kDesktopId);
    bool bOk = true;

    // The default handler: ours, the previous one kept as "Old".
    const QString strPrevious = CHVMimeApps::QueryDefault(strMimeType);
    if (strPrevious.section(u';', 0, 0) != strOurs) {
        if (!strPrevious.isEmpty()) {
            CRegistry reg(HVRegRoot::CurrentUser);
            bOk = reg.CreateKey(HVRegRoot::CurrentUser, QString::fromLatin1(kOldKey))
                  && reg.Write(QString::fromLatin1(kOldValue), strPrevious) && reg.Close() && bOk;
        }
        bOk = CHVMimeApps::SetDefault(strMimeType, strOurs) && bOk;
    }

    // The type and the entry, rewritten only when they differ from what they should be.
    bool bMimeChanged = false;
    bool bEntryChanged = false;
    bOk = WriteIfChanged(MimePackagePath(), MimePackageText().toUtf8(), bMimeChanged) && bOk;
    bOk = WriteIfChanged(DesktopEntryPath(), strEntry.toUtf8(), bEntryChanged) && bOk;
    Refresh(bMimeChanged, bEntryChanged);
    return bOk;
}

void CHVFileAssociation::Refresh(bool bMimeChanged, bool bEntryChanged)
{
    const QString strData = CHVXdgDirs::DataHome();
    if (bMimeChanged) {
        RunTool(QStringLiteral("update-mime-database"), strData + QStringLiteral("/mime"));
    }
    if (bEntryChanged) {
        RunTool(QStringLiteral("update-desktop-database"), strData + QStringLiteral("/applications"));
    }
    m_bRefreshed = bMimeChanged || bEntryChanged;
}

bool CHVFileAssociation::Restore()
{
    m_bRefreshed = false;
    const QString strMimeType = QString::fromLatin1(kMimeType);
    bool bOk = true;
    // Only a default that is still ours is given back; a later choice of the user stays.
    if (CHVMimeApps::QueryDefault(strMimeType).section(u';', 0, 0) == QLatin1StringView(kDesktopId)) {
        const QString strOld = StoredOld();
        bOk =
            (strOld.isEmpty() ? CHVMimeApps::RemoveDefault(strMimeType) : CHVMimeApps::SetDefault(strMimeType, strOld))
            && bOk;
    }
    CRegistry reg(HVRegRoot::CurrentUser);
    if (reg.Open(HVRegRoot::CurrentUser, QString::fromLatin1(kOldKey), HV_KEY_ALL_ACCESS)) {
        reg.DeleteValue(QString::fromLatin1(kOldValue));
        bOk = reg.Close() && bOk;
    }
    const bool bMime = QFile::exists(MimePackagePath());
    const bool bEntry = QFile::exists(DesktopEntryPath());
    bOk = (!bMime || QFile::remove(MimePackagePath())) && (!bEntry || QFile::remove(DesktopEntryPath())) && bOk;
    Refresh(bMime, bEntry);
    return bOk;
}
