// Loading the resource module and looking things up in it, with and without a module.
#include "resources/HVResourceStrings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ResourceTestSupport.h"

namespace {

const QString kNoConfig =
    QStringLiteral("Error missing gconfig.xml file\nRe-installing the Application may fix the problem");
const QString kNoResources =
    QStringLiteral("Error missing Resource file\nRe-installing the Application may fix the problem.");

}  // namespace

TEST_F(ResourceModule, CompiledInStringsWithoutModule)
{
    ASSERT_FALSE(CResourceModule::Instance().IsLoaded());
    EXPECT_EQ(HVLoadString(57344), QStringLiteral("Halvo Norvane"));
    EXPECT_EQ(HVLoadString(57345), kNoConfig);
    EXPECT_EQ(HVLoadString(57346), kNoResources);
    EXPECT_EQ(HVLoadString(IDS_ERR_NO_RESOURCES), kNoResources);
    EXPECT_TRUE(HVHasString(57346));
    EXPECT_TRUE(m_vecMissing.empty());

    EXPECT_FALSE(HVHasString(130));
    EXPECT_TRUE(HVLoadString(130).isEmpty());
    EXPECT_EQ(m_vecMissing, (std::vector<unsigned>{130}));
}

TEST_F(ResourceModule, ProgramModuleLoadsFromTheProgramFolder)
{
    const QString path = ProgramModulePath();
    ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
    EXPECT_EQ(QFileInfo(path).fileName(), CResourceModule::DefaultFileName());

    ASSERT_TRUE(CResourceModule::Instance().Load(path));
    EXPECT_TRUE(CResourceModule::Instance().IsLoaded());
    EXPECT_EQ(CResourceModule::Instance().FilePath(), QDir::cleanPath(path));

    for (const unsigned nId : {101u, 130u, 140u, 4018u, 4028u, 58113u, 20000u}) {
        EXPECT_TRUE(HVHasString(nId)) << nId;
        EXPECT_FALSE(HVLoadString(nId).isEmpty()) << nId;
    }
    EXPECT_EQ(HVLoadString(IDS_STATUS_ENCRYPTING), HVLoadString(102));
    // The module's own 57345 (an empty password field) replaces the start-up text ...
    EXPECT_FALSE(HVLoadString(57345).isEmpty());
    EXPECT_NE(HVLoadString(57345), kNoConfig);
    EXPECT_EQ(HVLoadString(57345), HVLoadString(IDS_PASSWORD_EMPTY));
    // ... and the two texts the module does not carry stay the compiled-in ones.
    EXPECT_EQ(HVLoadString(57344), QStringLiteral("Halvo Norvane"));
    EXPECT_EQ(HVLoadString(57346), kNoResources);
    EXPECT_EQ(CResourceModule::BuiltinString(57345), kNoConfig);
    EXPECT_TRUE(m_vecMissing.empty());
}

TEST_F(ResourceModule, MissingNumberIsReportedNotSilent)
{
    ASSERT_TRUE(CResourceModule::Instance().Load(ProgramModulePath()));
    EXPECT_FALSE(HVHasString(9));
    EXPECT_TRUE(m_vecMissing.empty()) << "asking whether a number exists is not a miss";
    EXPECT_TRUE(HVLoadString(9).isEmpty());
    EXPECT_TRUE(HVFormatString(65535, QStringLiteral("x")).isEmpty());
    EXPECT_EQ(m_vecMissing, (std::vector<unsigned>{9, 65535}));
}

TEST_F(ResourceModule, DefaultHandlerStopsDebugBuildsOnAMissingNumber)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_TRUE(CResourceModule::Instance().Load(ProgramModulePath()));
    CResourceModule::Instance().SetMissingStringHandler(nullptr);
    // Release builds log and go on with an empty text.
    EXPECT_DEBUG_DEATH(EXPECT_TRUE(HVLoadString(9).isEmpty()), "string number missing");
}

TEST_F(ResourceModule, MissingOrUnusableFileGivesFalse)
{
    const QString garbage = m_dir.filePath(QStringLiteral("garbage.rcc"));
    ASSERT_TRUE(hvtest::WriteFile(garbage, QByteArray(4096, '\x5a')));
    const QString empty = m_dir.filePath(QStringLiteral("empty.rcc"));
    ASSERT_TRUE(hvtest::WriteFile(empty, QByteArray()));

    for (const QString& path :
         {m_dir.filePath(QStringLiteral("absent.rcc")), QString(), m_dir.path(), garbage, empty}) {
        EXPECT_FALSE(CResourceModule::Instance().Load(path)) << path.toStdString();
        EXPECT_FALSE(CResourceModule::Instance().IsLoaded());
        EXPECT_TRUE(CResourceModule::Instance().FilePath().isEmpty());
    }
    // Start-up can still show its message.
    EXPECT_EQ(HVLoadString(57346), kNoResources);
}

TEST_F(ResourceModule, ResourceFileWithoutStringTableIsRefused)
{
    // A valid resource file of someone else: registered by Qt, but it is not our module.
    const QString qrc = m_dir.filePath(QStringLiteral("other.qrc"));
    const QString rcc = m_dir.filePath(QStringLiteral("other.rcc"));
    ASSERT_TRUE(hvtest::WriteFile(qrc,
                                  "<RCC><qresource prefix=\"/\"><file alias=\"other/x.svg\">"
                                      + QFile::encodeName(QStringLiteral(HV_TEST_PICTURE))
                                      + "</file></qresource></RCC>"));
    ASSERT_EQ(Rcc({QStringLiteral("--binary"), QStringLiteral("-o"), rcc, qrc}), 0);
    EXPECT_FALSE(CResourceModule::Instance().Load(rcc));
    EXPECT_FALSE(QFile::exists(QStringLiteral(":/other/x.svg"))) << "a refused file must not stay registered";
}

TEST_F(ResourceModule, TruncatedModuleIsRefused)
{
    const QByteArray whole = hvtest::ReadFile(ProgramModulePath());
    ASSERT_GT(whole.size(), 64);
    for (const qsizetype nKeep : {qsizetype(20), qsizetype(24), whole.size() / 2, whole.size() - 1}) {
        const QString path = m_dir.filePath(QStringLiteral("cut%1.rcc").arg(nKeep));
        ASSERT_TRUE(hvtest::WriteFile(path, whole.left(nKeep)));
        EXPECT_FALSE(CResourceModule::Instance().Load(path)) << "kept " << nKeep << " bytes";
    }
}

TEST_F(ResourceModule, EveryFlippedByteIsSurvived)
{
    // Whatever single byte of a module is damaged, loading either refuses the file or gives a
    // usable table; it never reads outside the file.
    const QByteArray whole = hvtest::ReadFile(QStringLiteral(HV_TEST_RCC));
    ASSERT_GT(whole.size(), 64);
    const QString path = m_dir.filePath(QStringLiteral("flipped.rcc"));
    int nRefused = 0;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        QByteArray damaged = whole;
        damaged[i] = char(damaged[i] ^ 0xFF);
        ASSERT_TRUE(hvtest::WriteFile(path, damaged));
        if (CResourceModule::Instance().Load(path)) {
            EXPECT_FALSE(CResourceModule::Instance().StringIds().empty()) << "byte " << i;
        } else {
            ++nRefused;
        }
    }
    EXPECT_GT(nRefused, 0);
}

TEST_F(ResourceModule, CompressedEntriesAreRefused)
{
    const QString qrc = m_dir.filePath(QStringLiteral("packed.qrc"));
    const QString rcc = m_dir.filePath(QStringLiteral("packed.rcc"));
    const QString table = m_dir.filePath(QStringLiteral("table.bin"));
    // A table that compresses well, packed the way our build never packs it.
    QByteArray data("HVSTRTAB\x01\0\0\0\x01\0\0\0\x01\0\0\0\0\x10\0\0", 24);
    data += QByteArray(4096, 'a');
    ASSERT_TRUE(hvtest::WriteFile(table, data));
    ASSERT_TRUE(hvtest::WriteFile(qrc,
                                  "<RCC><qresource prefix=\"/\"><file alias=\"strings/table\">"
                                      + QFile::encodeName(table) + "</file></qresource></RCC>"));
    ASSERT_EQ(Rcc({QStringLiteral("--binary"),
                   QStringLiteral("--compress-algo"),
                   QStringLiteral("zlib"),
                   QStringLiteral("-o"),
                   rcc,
                   qrc}),
              0);
    EXPECT_FALSE(CResourceModule::Instance().Load(rcc));
    // The same content stored plainly is accepted.
    ASSERT_EQ(Rcc({QStringLiteral("--binary"), QStringLiteral("--no-compress"), QStringLiteral("-o"), rcc, qrc}), 0);
    EXPECT_TRUE(CResourceModule::Instance().Load(rcc));
}

TEST_F(ResourceModule, FailedLoadLeavesNoModule)
{
    ASSERT_TRUE(CResourceModule::Instance().Load(ProgramModulePath()));
    EXPECT_FALSE(CResourceModule::Instance().Load(QStringLiteral("/nonexistent/HNVRes.rcc")));
    EXPECT_FALSE(CResourceModule::Instance().IsLoaded());
    EXPECT_FALSE(HVHasString(130));
}

TEST_F(ResourceModule, ReloadAndUnload)
{
    ASSERT_TRUE(CResourceModule::Instance().Load(QStringLiteral(HV_TEST_RCC)));
    EXPECT_EQ(HVLoadString(130), QStringLiteral("Wrong (test module)"));
    ASSERT_TRUE(CResourceModule::Instance().Load(ProgramModulePath()));
    EXPECT_NE(HVLoadString(130), QStringLiteral("Wrong (test module)"));
    EXPECT_FALSE(HVHasString(60000)) << "strings of the module loaded before must be gone";
    CResourceModule::Instance().Unload();
    EXPECT_FALSE(HVHasString(130));
    EXPECT_EQ(HVLoadString(57345), kNoConfig);
}

TEST_F(ResourceModule, RelativeNameIsTakenFromTheProgramFolderOnly)
{
    const QString programFolder = CResourceModule::ProgramFolder();
    ASSERT_FALSE(programFolder.isEmpty());
    const QString name = QStringLiteral("HVResTest-%1.rcc").arg(QCoreApplication::applicationPid());
    const QString inProgramFolder = programFolder + QLatin1Char('/') + name;
    ASSERT_TRUE(QFile::copy(QStringLiteral(HV_TEST_RCC), inProgramFolder));
    EXPECT_TRUE(CResourceModule::Instance().Load(name));
    EXPECT_EQ(CResourceModule::Instance().FilePath(), QDir::cleanPath(inProgramFolder));
    CResourceModule::Instance().Unload();
    QFile::remove(inProgramFolder);

    // The same name in the current directory is not looked at.
    ASSERT_TRUE(QFile::copy(QStringLiteral(HV_TEST_RCC), m_dir.filePath(name)));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    const bool bLoaded = CResourceModule::Instance().Load(name);
    QDir::setCurrent(previous);
    EXPECT_FALSE(bLoaded);
}

TEST_F(ResourceModule, NumberedPicturesByKind)
{
    EXPECT_TRUE(HVImagePath(HVImageKind::Bitmap, 4050).isEmpty()) << "nothing before a module is loaded";
    ASSERT_TRUE(CResourceModule::Instance().Load(QStringLiteral(HV_TEST_RCC)));

    const QString picture = HVImagePath(HVImageKind::Bitmap, 4050);
    EXPECT_EQ(picture, QStringLiteral(":/bmp/4050.svg"));
    EXPECT_EQ(hvtest::ReadFile(picture), hvtest::ReadFile(QStringLiteral(HV_TEST_PICTURE)));
    // Added by a build step rather than found in the folder.
    EXPECT_EQ(HVImagePath(HVImageKind::Bitmap, 4051), QStringLiteral(":/bmp/4051.svg"));
    EXPECT_EQ(hvtest::ReadFile(HVImagePath(HVImageKind::Bitmap, 4051)),
              hvtest::ReadFile(QStringLiteral(HV_TEST_PICTURE)));
    EXPECT_EQ(HVImagePath(HVImageKind::Icon, 4008), QStringLiteral(":/icon/4008.xpm"));
    // Icons and bitmaps are numbered separately.
    EXPECT_TRUE(HVImagePath(HVImageKind::Icon, 4050).isEmpty());
    EXPECT_TRUE(HVImagePath(HVImageKind::Bitmap, 4008).isEmpty());
    EXPECT_TRUE(HVImagePath(HVImageKind::Bitmap, 405).isEmpty());
    EXPECT_TRUE(HVImagePath(HVImageKind::Bitmap, 40500).isEmpty());

    CResourceModule::Instance().Unload();
    EXPECT_TRUE(HVImagePath(HVImageKind::Bitmap, 4050).isEmpty());
    EXPECT_FALSE(QFile::exists(QStringLiteral(":/bmp/4050.svg")));
}
