// The terminal program end to end on what guards the user's secrets and hidden items: private
// data folders, a damaged hidden list, the clean-up start, core dumps, password files.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

#include "E2eSupport.h"

using e2e::CHome;
using e2e::SResult;

namespace {

const QByteArray kMaster = "master-pass-1\n";

int ModeOf(const QString& strPath)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(strPath).constData(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

QString ListFile(const CHome& home)
{
    return home.DataFolder() + QStringLiteral("/hidden.lst");
}

QString DataFile(const CHome& home, const QString& strName)
{
    return home.DataFolder() + QStringLiteral("/HalvoNorvane/Data/") + strName;
}

// The child's umask for the runs of one test.
class CUmask
{
public:
    explicit CUmask(mode_t nMask)
        : m_nOld(::umask(nMask))
    {
    }
    ~CUmask() { ::umask(m_nOld); }

private:
    mode_t m_nOld;
};

}  // namespace

TEST(HnvPrivateData, FoldersAndFilesAreTheUsersAlone)
{
    CHome home;
    const CUmask mask(0);
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    const QString strLeft = home.Write(DataFile(home, QStringLiteral("left.txt")), "x");
    ASSERT_EQ(::chmod(QFile::encodeName(strLeft).constData(), 0666), 0);
    SResult r = home.Run({"--master-password-file", mp, "-rh"});
    ASSERT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    for (const QString& strFolder : {home.DataFolder(),
                                     home.DataFolder() + QStringLiteral("/HalvoNorvane"),
                                     home.DataFolder() + QStringLiteral("/HalvoNorvane/Data"),
                                     home.DataFolder() + QStringLiteral("/HalvoNorvane/Logs"),
                                     home.DataFolder() + QStringLiteral("/vault")}) {
        EXPECT_EQ(ModeOf(strFolder), 0700) << strFolder.toStdString();
    }
    EXPECT_EQ(ModeOf(strLeft), 0600);
    // The signature, kept hidden between runs, and the hidden list: owner only.
    const QStringList kept = CHome::AllFiles(home.DataFolder() + QStringLiteral("/vault"));
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(ModeOf(kept.front()), 0600);
    EXPECT_EQ(ModeOf(ListFile(home)), 0600);
}

// A hidden list that cannot be read is never taken for a first start: declined, nothing is asked
// or changed (status 5); accepted, the list is rebuilt and the old master password opens again.
// A signature that no list names blocks a new master password as well.
TEST(HnvHiddenList, DamageIsReportedRepairedAndNeverMakesANewMasterPassword)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    const QString other = home.Write(QStringLiteral("other"), "another-master-1\n");
    ASSERT_EQ(home.Run({"--master-password-file", mp, "-rh"}).nStatus, 0);
    ASSERT_EQ(home.Run({"--master-password-file", mp, "-rh"}).nStatus, 0);
    QByteArray list = CHome::Read(ListFile(home));
    ASSERT_GT(list.size(), 64);
    list[16 + 6] = static_cast<char>(list[16 + 6] ^ 0x5A);  // inside the first record
    home.Write(ListFile(home), list);

    SResult r = home.Run({"--master-password-file", other, "--no", "-rh"});
    EXPECT_EQ(r.nStatus, 5) << r.strErr.toStdString();
    EXPECT_TRUE(r.strErr.contains(ListFile(home))) << r.strErr.toStdString();
    EXPECT_EQ(CHome::Read(ListFile(home)), list);
    EXPECT_FALSE(QFileInfo::exists(home.SignatureFile()));
    EXPECT_TRUE(home.VaultHolds("<PWSig>"));

    r = home.Run({"--master-password-file", other, "--yes", "-rh"});
    EXPECT_EQ(r.nStatus, 184) << r.strErr.toStdString();  // repaired: the old master password is back
    EXPECT_TRUE(r.strErr.contains(QStringLiteral("repaired"))) << r.strErr.toStdString();
    EXPECT_EQ(QDir(home.DataFolder()).entryList({QStringLiteral("hidden.lst.damaged-*")}).size(), 1);
    r = home.Run({"--master-password-file", mp, "-rh"});
    EXPECT_EQ(r.nStatus, 0) << r.strErr.toStdString();

    // The list loses the signature's entry (a valid, empty list): the signature is kept but
    // named by no entry, so no start may set a new master password.
    home.Write(ListFile(home), CHome::Read(ListFile(home)).left(16));
    r = home.Run({"--master-password-file", other, "-rh"});
    EXPECT_EQ(r.nStatus, 5) << r.strErr.toStdString();
    EXPECT_TRUE(r.strErr.contains(home.DataFolder() + QStringLiteral("/vault/"))) << r.strErr.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home.SignatureFile()));
    EXPECT_TRUE(home.VaultHolds("<PWSig>"));
}

// The clean-up names what it cannot bring back (status 1), and no later start hides what came
// back or moves a new file that took a hidden item's place.
TEST(HnvCleanup, ItemsLeftHiddenAreNamedAndNothingIsHiddenAgain)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    const QString strA = home.Write(QStringLiteral("d/a.txt"), "first a");
    const QString strB = home.Write(QStringLiteral("d/b.txt"), "first b");
    const QString strD = home.Home() + QStringLiteral("/d");
    SResult r = home.Run({"--master-password-file", mp, "-h", "-p", strD, "-f", "a.txt", "-f", "b.txt"});
    ASSERT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    ASSERT_FALSE(QFileInfo::exists(strA));
    home.Write(strA, "new a");  // the path of a hidden item is taken

    r = home.Run({"--master-password-file", mp, "--yes", "--json", "-ui"});
    EXPECT_EQ(r.nStatus, 1) << r.strErr.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(r.strOut.toUtf8()).object();
    EXPECT_EQ(json.value(QStringLiteral("end")).toString(), QStringLiteral("clean-up-incomplete"));
    const QJsonArray left = json.value(QStringLiteral("stillHidden")).toArray();
    ASSERT_EQ(left.size(), 1) << r.strOut.toStdString();
    EXPECT_EQ(left.at(0).toObject().value(QStringLiteral("path")).toString(), strA);
    EXPECT_EQ(left.at(0).toObject().value(QStringLiteral("reason")).toString(), QStringLiteral("path-occupied"));
    EXPECT_TRUE(r.strErr.contains(strA + QStringLiteral(" stays hidden: something else now stands")))
        << r.strErr.toStdString();
    EXPECT_FALSE(r.strErr.contains(strB + QStringLiteral(" stays")));
    EXPECT_EQ(CHome::Read(strB), QByteArray("first b"));
    EXPECT_FALSE(QFileInfo::exists(home.SignatureFile()));

    // A later start (a new master password: the old one was removed) hides nothing again.
    r = home.Run({"--master-password-file", mp, "-rh"});
    EXPECT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    EXPECT_EQ(CHome::Read(strB), QByteArray("first b"));
    EXPECT_EQ(CHome::Read(strA), QByteArray("new a"));
    EXPECT_TRUE(home.VaultHolds("first a"));  // still kept, and still listed
    EXPECT_FALSE(home.VaultHolds("new a"));
}

namespace {

// Runs bin with args in folder, cores allowed (RLIMIT_CORE unlimited) and its environment pointed
// at home; kills it with SIGSEGV while it is deriving a key. The wait status.
int KillMidRun(const CHome& home, const std::string& strBin, const QStringList& args, const QString& strFolder)
{
    std::vector<std::string> store{strBin};
    for (const QString& a : args) {
        store.push_back(a.toStdString());
    }
    std::vector<std::string> env = hvtest::HomeEnvironment(home.Home().toStdString(), {"PATH=/usr/bin:/bin"});
    const std::vector<char*> argv = hvtest::ExecList(store);
    const std::vector<char*> envp = hvtest::ExecList(env);
    const QByteArray folder = QFile::encodeName(strFolder);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        ::setrlimit(RLIMIT_CORE, &unlimited);
        const int fdNull = ::open("/dev/null", O_RDWR);
        ::dup2(fdNull, 0);
        ::dup2(fdNull, 1);
        ::dup2(fdNull, 2);
        ::setsid();
        if (::chdir(folder.constData()) == 0) {
            ::execve(argv[0], argv.data(), envp.data());
        }
        ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(400));  // inside the key derivation
    ::kill(pid, SIGSEGV);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return status;
}

bool HasCoreFile(const QString& strFolder)
{
    return !QDir(strFolder).entryList({QStringLiteral("core*")}, QDir::Files).isEmpty();
}

}  // namespace

// Every program that reads a secret refuses to leave a core file, even where cores are allowed.
TEST(NoCoreDump, ProgramsKilledMidRunLeaveNoCore)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer catches the signal itself and exits";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "the address sanitizer catches the signal itself and exits";
#endif
#endif
    CHome home;
    const QString strCores = home.Home() + QStringLiteral("/cores");
    QDir().mkpath(strCores);
    // Where this system writes no core for a plain program either, nothing can be shown.
    const int nControl = KillMidRun(home, "/bin/sleep", {QStringLiteral("5")}, strCores);
    if (!WIFSIGNALED(nControl) || !WCOREDUMP(nControl)) {
        GTEST_SKIP() << "this system writes no core files";
    }
    QDir(strCores).removeRecursively();
    QDir().mkpath(strCores);

    const QString bin = qEnvironmentVariable("HV_BUILD_BIN");
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    const QString data = home.Write(QStringLiteral("data.bin"), QByteArray(1 << 20, 'd'));
    const std::vector<std::pair<QString, QStringList>> programs{
        {QStringLiteral("hnv"), {"--master-password-file", mp, "-rh"}},
        {QStringLiteral("HalvoNorvane"), {"--terminal", "--master-password-file", mp, "-rh"}},
        {QStringLiteral("hvcrypt"), {"encrypt", "--password-file", mp, "--quiet", data}},
    };
    int nRan = 0;
    for (const auto& [name, args] : programs) {
        const QString strBin = bin + u'/' + name;
        if (!QFileInfo(strBin).isExecutable()) {
            continue;  // not built in this configuration
        }
        ++nRan;
        const int nStatus = KillMidRun(home, strBin.toStdString(), args, strCores);
        EXPECT_TRUE(WIFSIGNALED(nStatus) && WTERMSIG(nStatus) == SIGSEGV) << name.toStdString();
        EXPECT_FALSE(WCOREDUMP(nStatus)) << name.toStdString();
        EXPECT_FALSE(HasCoreFile(strCores)) << name.toStdString();
    }
    EXPECT_GE(nRan, 1);
}

// "-d" with both password files: a file of the master password opens through the silent retry,
// a file whose password is neither is skipped and named, and the files after it still open.
TEST(HnvDecrypt, PasswordFilesGiveTheRetryAndSkipOnlyWhatNeitherOpens)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    const QString fp = home.Write(QStringLiteral("fp"), "file-pass-1\n");
    const QString other = home.Write(QStringLiteral("other"), "other-pass-1\n");
    const QString d = home.Home() + QStringLiteral("/d");
    home.Write(QStringLiteral("d/a.txt"), "alpha");
    home.Write(QStringLiteral("d/b.txt"), "bravo");
    home.Write(QStringLiteral("d/c.txt"), "charlie");
    const auto encrypt = [&](const QStringList& args) {
        const SResult r = home.Run(args);
        ASSERT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    };
    encrypt({"--master-password-file", mp, "-e", "-w", "-p", d, "-f", "a.txt"});
    encrypt({"--master-password-file", mp, "--password-file", other, "-e", "-w", "-pt", "new", "-p", d, "-f", "b.txt"});
    encrypt({"--master-password-file", mp, "--password-file", fp, "-e", "-w", "-pt", "new", "-p", d, "-f", "c.txt"});

    const SResult r = home.Run(
        e2e::Words("--master-password-file %1 --password-file %2 -d -p %3 -f a.txt.hvnc -f b.txt.hvnc -f c.txt.hvnc",
                   {mp, fp, d}));
    EXPECT_EQ(r.nStatus, 1) << r.strErr.toStdString();
    EXPECT_EQ(CHome::Read(d + QStringLiteral("/a.txt")), QByteArray("alpha"));
    EXPECT_EQ(CHome::Read(d + QStringLiteral("/c.txt")), QByteArray("charlie"));
    EXPECT_FALSE(QFileInfo::exists(d + QStringLiteral("/b.txt")));
    EXPECT_TRUE(QFileInfo::exists(d + QStringLiteral("/b.txt.hvnc")));
    EXPECT_TRUE(r.strErr.contains(d + QStringLiteral("/b.txt.hvnc skipped"))) << r.strErr.toStdString();
    EXPECT_FALSE(r.strErr.contains(QStringLiteral("is needed"))) << r.strErr.toStdString();
}
