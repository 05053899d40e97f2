#include "engines/CHvncHeader.h"
#include "settings/CHVFileAssociation.h"
#include "settings/CHVMimeApps.h"
#include "settings/CMRegistryData.h"

#include <QDateTime>
#include <QThread>

#include "SettingsTestSupport.h"

namespace {

const QString kType = QStringLiteral("application/x-hvnc");
const QString kOurs = QStringLiteral("halvonorvane-hnvfile.desktop");
const QByteArray kMagic("HVNC\r\n\x1a\n", 8);

class Association : public SettingsTestEnv
{
protected:
    // A stand-in program in a folder with a blank: it writes its arguments, one a line.
    QString MakeProgram()
    {
        const QString strFolder = m_strRoot + QStringLiteral("/Program Files $x");
        const QString strProgram = strFolder + QStringLiteral("/Halvo Norvane");
        m_strArgsFile = m_strRoot + QStringLiteral("/args.txt");
        WriteFile(strProgram,
                  QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.tmp' && mv '%1.tmp' '%1'\n")
                      .arg(m_strArgsFile)
                      .toUtf8());
        QFile::setPermissions(strProgram, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return strProgram;
    }

    QString QueryDefault()
    {
        return Run(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), kType});
    }
    // The default handler as read from the lists, and as the freedesktop tool says where it is installed.
    void ExpectDefault(const QString& strEntry)
    {
        EXPECT_EQ(CHVMimeApps::QueryDefault(kType), strEntry);
        if (HasTool("xdg-mime")) {
            EXPECT_EQ(QueryDefault(), strEntry);
        }
    }

    QString m_strArgsFile;
};

TEST_F(Association, RoundTripThroughTheFreedesktopTools)
{
    if (!HasTool("xdg-mime")) {
        GTEST_SKIP() << "xdg-mime is not installed";
    }
    CHVFileAssociation association(MakeProgram());
    ASSERT_TRUE(association.Associate());
    EXPECT_TRUE(association.Refreshed());
    EXPECT_EQ(QueryDefault(), kOurs);
    EXPECT_TRUE(CHVFileAssociation::StoredOld().isEmpty());  // there was no handler before

    if (HasTool("desktop-file-validate")) {
        int nExit = -1;
        const QString strOut =
            Run(QStringLiteral("desktop-file-validate"), {CHVFileAssociation::DesktopEntryPath()}, &nExit);
        EXPECT_EQ(nExit, 0) << strOut.toStdString();
    }
    if (!HasTool("update-mime-database")) {
        return;
    }
    EXPECT_TRUE(QFile::exists(DataHome() + QStringLiteral("/mime/mime.cache")));
    const QString strFile = m_strRoot + QStringLiteral("/doc one.hvnc");
    const QString strNoExtension = m_strRoot + QStringLiteral("/renamed");
    WriteFile(strFile, kMagic + QByteArray(200, '\0'));
    WriteFile(strNoExtension, kMagic + QByteArray(200, '\0'));
    if (!HasTool("mimetype")) {
        GTEST_SKIP() << "xdg-mime needs the mimetype tool (libfile-mimeinfo-perl) outside a desktop";
    }
    EXPECT_EQ(Run(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), strFile}), kType);
    EXPECT_EQ(Run(QStringLiteral("mimetype"), {QStringLiteral("--brief"), strNoExtension}), kType);
}

TEST_F(Association, EntryStartsTheProgramWithBlanksInItsPath)
{
    if (!HasTool("gio")) {
        GTEST_SKIP() << "gio is not installed";
    }
    CHVFileAssociation association(MakeProgram());
    ASSERT_TRUE(association.Associate());
    const QString strFile = m_strRoot + QStringLiteral("/a 'b' \"c\".hvnc");
    WriteFile(strFile, kMagic);
    int nExit = -1;
    Run(QStringLiteral("gio"), {QStringLiteral("launch"), CHVFileAssociation::DesktopEntryPath(), strFile}, &nExit);
    ASSERT_EQ(nExit, 0);
    // The program runs detached: wait for its answer (bounded, no timing is asserted).
    for (int i = 0; i < 600 && !QFile::exists(m_strArgsFile); ++i) {
        QThread::msleep(50);
    }
    EXPECT_EQ(ReadFile(m_strArgsFile), (QStringLiteral("-d\n-fp\n") + strFile + u'\n').toUtf8());
}

TEST_F(Association, RerunRewritesNothing)
{
    CHVFileAssociation first(MakeProgram());
    ASSERT_TRUE(first.Associate());
    const QStringList files = {CHVFileAssociation::DesktopEntryPath(),
                               CHVFileAssociation::MimePackagePath(),
                               ConfigHome() + QStringLiteral("/mimeapps.list"),
                               DataHome() + QStringLiteral("/mime/mime.cache"),
                               DataHome() + QStringLiteral("/applications/mimeinfo.cache")};
    std::vector<QDateTime> before;
    for (const QString& strFile : files) {
        before.push_back(QFileInfo(strFile).lastModified());
    }
    QThread::msleep(20);  // so that a rewrite would show in the time stamps
    CHVFileAssociation second(MakeProgram());
    ASSERT_TRUE(second.Associate());
    EXPECT_FALSE(second.Refreshed());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(QFileInfo(files[static_cast<qsizetype>(i)]).lastModified(), before[i])
            << files[static_cast<qsizetype>(i)].toStdString();
    }
    EXPECT_TRUE(CHVFileAssociation::StoredOld().isEmpty());
}

TEST_F(Association, MovedProgramGetsItsEntryRewritten)
{
    const QString strProgram = MakeProgram();
    CHVFileAssociation first(strProgram);
    ASSERT_TRUE(first.Associate());
    CHVFileAssociation moved(QStringLiteral("/opt/elsewhere/HalvoNorvane"));
    ASSERT_TRUE(moved.Associate());
    EXPECT_TRUE(moved.Refreshed());
    EXPECT_TRUE(
        ReadFile(CHVFileAssociation::DesktopEntryPath()).contains("Exec=\"/opt/elsewhere/HalvoNorvane\" -d -fp %f\n"));
}

TEST_F(Association, PreviousHandlerIsKeptAsOldAndRestored)
{
    WriteFile(DataHome() + QStringLiteral("/applications/other-viewer.desktop"),
              "[Desktop Entry]\nType=Application\nName=Other\nExec=true %f\nMimeType=application/x-hvnc;\n");
    WriteFile(ConfigHome() + QStringLiteral("/mimeapps.list"),
              "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
              "text/plain=editor.desktop\napplication/x-hvnc=other-viewer.desktop;\n");
    ExpectDefault(QStringLiteral("other-viewer.desktop"));
    ASSERT_FALSE(HasFailure());

    CMRegistryData data;
    data.m_strModuleEXEPath = MakeProgram();
    ASSERT_TRUE(data.AssociateExtension());
    ExpectDefault(kOurs);
    EXPECT_EQ(CHVFileAssociation::StoredOld(), QStringLiteral("other-viewer.desktop"));
    const QByteArray list = ReadFile(ConfigHome() + QStringLiteral("/mimeapps.list"));
    EXPECT_TRUE(list.contains("[Added Associations]\ntext/plain=editor.desktop;\n")) << list.constData();
    EXPECT_TRUE(list.contains("text/plain=editor.desktop\n")) << list.constData();

    // Already ours: "Old" stays as it is.
    ASSERT_TRUE(data.AssociateExtension());
    EXPECT_EQ(CHVFileAssociation::StoredOld(), QStringLiteral("other-viewer.desktop"));

    CHVFileAssociation association(data.m_strModuleEXEPath);
    ASSERT_TRUE(association.Restore());
    ExpectDefault(QStringLiteral("other-viewer.desktop"));
    EXPECT_FALSE(QFile::exists(CHVFileAssociation::DesktopEntryPath()));
    EXPECT_FALSE(QFile::exists(CHVFileAssociation::MimePackagePath()));
    EXPECT_TRUE(CHVFileAssociation::StoredOld().isEmpty());
}

TEST_F(Association, DesktopSpecificListIsCorrectedToo)
{
    Set("XDG_CURRENT_DESKTOP", QStringLiteral("TestDesk"));
    WriteFile(ConfigHome() + QStringLiteral("/testdesk-mimeapps.list"),
              "[Default Applications]\napplication/x-hvnc=other.desktop\n");
    CHVFileAssociation association(MakeProgram());
    ASSERT_TRUE(association.Associate());
    EXPECT_EQ(CHVMimeApps::QueryDefault(kType), kOurs);
    EXPECT_EQ(CHVFileAssociation::StoredOld(), QStringLiteral("other.desktop"));
}

TEST_F(Association, UnusableProgramPathWritesNothing)
{
    for (const QString& strProgram :
         {QString(), QStringLiteral("relative/HalvoNorvane"), QStringLiteral("/opt/a\nExec=evil")}) {
        CHVFileAssociation association(strProgram);
        EXPECT_FALSE(association.Associate());
    }
    EXPECT_FALSE(QFile::exists(CHVFileAssociation::DesktopEntryPath()));
    EXPECT_FALSE(QFile::exists(ConfigHome() + QStringLiteral("/mimeapps.list")));
}

TEST(DesktopEntryText, QuotesTheProgramAsTheRulesAsk)
{
    struct Case
    {
        QString strProgram;
        QString strExec;
    };
    for (const Case& c : {Case{QStringLiteral("/opt/hn/HalvoNorvane"), QStringLiteral("\"/opt/hn/HalvoNorvane\"")},
                          Case{QStringLiteral("/opt/a b/p"), QStringLiteral("\"/opt/a b/p\"")},
                          Case{QStringLiteral("/o/\"q\"$`x"), QStringLiteral("\"/o/\\\\\"q\\\\\"\\\\$\\\\`x\"")},
                          Case{QStringLiteral("/o/back\\slash"), QStringLiteral("\"/o/back\\\\\\\\slash\"")},
                          Case{QStringLiteral("/o/100%"), QStringLiteral("\"/o/100%%\"")}}) {
        const QString strText = CHVFileAssociation::DesktopEntryText(c.strProgram);
        EXPECT_TRUE(strText.contains(QStringLiteral("\nExec=") + c.strExec + QStringLiteral(" -d -fp %f\n")))
            << strText.toStdString();
    }
}

TEST(MimePackage, MagicMatchesTheEncryptedFileHeader)
{
    EXPECT_TRUE(CHVFileAssociation::MimePackageText().contains(QStringLiteral("value=\"HVNC\\r\\n\\x1a\\n\"")));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(CHvncHeader::kMagic.data()), CHvncHeader::kMagic.size()),
              kMagic);
}

using MimeAppsEdit = SettingsTestEnv;

TEST_F(MimeAppsEdit, OneEntryChangesAndTheRestStays)
{
    const QString strFile = m_strRoot + QStringLiteral("/list");
    const QByteArray original("# comment\n[Default Applications]\na/b=x.desktop\n\n[Other]\nk=v\n");
    WriteFile(strFile, original);
    bool bChanged = true;
    ASSERT_TRUE(CHVMimeApps::WriteEntry(strFile,
                                        QStringLiteral("Default Applications"),
                                        QStringLiteral("a/b"),
                                        QStringLiteral("x.desktop"),
                                        &bChanged));
    EXPECT_FALSE(bChanged);
    ASSERT_TRUE(CHVMimeApps::WriteEntry(strFile,
                                        QStringLiteral("Default Applications"),
                                        QStringLiteral("c/d"),
                                        QStringLiteral("y.desktop"),
                                        &bChanged));
    EXPECT_TRUE(bChanged);
    EXPECT_EQ(ReadFile(strFile),
              QByteArray("# comment\n[Default Applications]\na/b=x.desktop\nc/d=y.desktop\n\n[Other]\nk=v\n"));
    ASSERT_TRUE(CHVMimeApps::WriteEntry(strFile, QStringLiteral("Other"), QStringLiteral("k"), QString()));
    ASSERT_TRUE(CHVMimeApps::WriteEntry(strFile, QStringLiteral("New"), QStringLiteral("n"), QStringLiteral("1")));
    EXPECT_EQ(ReadFile(strFile),
              QByteArray("# comment\n[Default Applications]\na/b=x.desktop\nc/d=y.desktop\n\n[Other]\n\n[New]\nn=1\n"));
    EXPECT_EQ(CHVMimeApps::ReadEntry(strFile, QStringLiteral("New"), QStringLiteral("n")), QStringLiteral("1"));
    EXPECT_FALSE(CHVMimeApps::ReadEntry(strFile, QStringLiteral("Other"), QStringLiteral("k")).has_value());
}

}  // namespace
