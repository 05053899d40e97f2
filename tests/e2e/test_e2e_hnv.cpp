// The terminal program end to end: real binary, real files, a temporary home.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "E2eSupport.h"

using e2e::CHome;
using e2e::SResult;
using e2e::Words;

namespace {

const QByteArray kMaster = "master-pass-1\n";
const QByteArray kFilePassword = "file-pass-1\n";

bool EndsWithAny(const QStringList& files, const QString& strSuffix)
{
    for (const QString& f : files) {
        if (f.endsWith(strSuffix)) {
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(HnvMasterPassword, FirstStartWrongFourTimesThenCleanup)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    const QString bad = home.Write(QStringLiteral("bad"), "not-the-one\n");

    // First start: the master password is set from the file, its signature written (and
    // hidden again at shutdown, like every start leaves it).
    SResult r = home.Run({"--master-password-file", mp, "-rh"});
    EXPECT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    EXPECT_TRUE(r.strErr.contains(QStringLiteral("not available"))) << r.strErr.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home.SignatureFile()));
    EXPECT_TRUE(home.VaultHolds("<PWSig>"));

    // Four wrong entries: 3000, which the shell sees as 184; the wrong-password message four times.
    r = home.Run({"--master-password-file", bad, "-rh"});
    EXPECT_EQ(r.nStatus, 184);
    const QStringList lines = r.strErr.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << r.strErr.toStdString();
    EXPECT_EQ(lines.count(lines.front()), 4);

    // Without a terminal and without the file nothing can be asked: a clean refusal.
    r = home.Run({"-rh"});
    EXPECT_EQ(r.nStatus, 6);
    EXPECT_TRUE(r.strErr.contains(QStringLiteral("--master-password-file")));

    // Clean-up declined: 184 and the signature stays.
    r = home.Run({"--master-password-file", mp, "--no", "-ui"});
    EXPECT_EQ(r.nStatus, 184);
    EXPECT_TRUE(home.VaultHolds("<PWSig>"));

    // Clean-up confirmed: the signature file is gone for good.
    r = home.Run({"--master-password-file", mp, "--yes", "-ui"});
    EXPECT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home.SignatureFile()));
    EXPECT_FALSE(home.VaultHolds("<PWSig>"));
}

TEST(HnvCommandLine, InvalidCommandsHaveTheirStatusAndMessage)
{
    CHome home;
    for (const QStringList& args : {QStringList{"-zz"}, QStringList{"-e", "-p", home.Home()}}) {
        const SResult r = home.Run(args);
        EXPECT_EQ(r.nStatus, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.strErr.contains(QStringLiteral("Invalid command"))) << r.strErr.toStdString();
    }
    const SResult r = home.Run({"--bogus"});
    EXPECT_EQ(r.nStatus, 2);
    EXPECT_TRUE(r.strErr.contains(QStringLiteral("--bogus")));
    EXPECT_EQ(home.Run({"--help"}).nStatus, 0);
}

TEST(HnvSecure, EncryptThenHideAFolder)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    home.Write(QStringLiteral("docs/a.txt"), "alpha plaintext content");
    home.Write(QStringLiteral("docs/sub/b.txt"), "bravo plaintext content");

    const SResult r = home.Run({"--master-password-file", mp, "--json", "-e", "-h", "-p", home.Home(), "-f", "docs"});
    EXPECT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(r.strOut.toUtf8()).object();
    EXPECT_EQ(json.value(QStringLiteral("status")).toInt(-1), 0) << r.strOut.toStdString();
    EXPECT_EQ(json.value(QStringLiteral("end")).toString(), QStringLiteral("ran"));

    // The folder is out of view; what is kept of it holds only the encrypted files.
    EXPECT_FALSE(QFileInfo::exists(home.Home() + QStringLiteral("/docs")));
    const QStringList kept = CHome::AllFiles(home.DataFolder() + QStringLiteral("/vault"));
    EXPECT_TRUE(EndsWithAny(kept, QStringLiteral("/a.txt.hvnc"))) << kept.join(' ').toStdString();
    EXPECT_TRUE(EndsWithAny(kept, QStringLiteral("/sub/b.txt.hvnc")));
    EXPECT_FALSE(EndsWithAny(kept, QStringLiteral("/a.txt")));
    EXPECT_FALSE(EndsWithAny(kept, QStringLiteral("/b.txt")));
    EXPECT_FALSE(home.VaultHolds("plaintext content"));
}

TEST(HnvSecure, EncryptWipeThenDecryptOne)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    const QString fp = home.Write(QStringLiteral("fp"), kFilePassword);
    const QString wrong = home.Write(QStringLiteral("wrong"), "wrong-pass-1\n");
    const QString d = home.Home() + QStringLiteral("/d");
    home.Write(QStringLiteral("d/a.txt"), "alpha");
    home.Write(QStringLiteral("d/b.txt"), "bravo");

    SResult r = home.Run(
        Words("--master-password-file %1 --password-file %2 -e -w -pt new -p %3 -f a.txt -f b.txt", {mp, fp, d}));
    ASSERT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    EXPECT_FALSE(QFileInfo::exists(d + QStringLiteral("/a.txt")));
    EXPECT_FALSE(QFileInfo::exists(d + QStringLiteral("/b.txt")));
    ASSERT_TRUE(QFileInfo::exists(d + QStringLiteral("/a.txt.hvnc")));

    // Decryption asks for no master password; the file password comes from the file.
    r = home.Run({"--password-file", fp, "-d", "-fp", d + QStringLiteral("/a.txt.hvnc")});
    EXPECT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    EXPECT_EQ(CHome::Read(d + QStringLiteral("/a.txt")), QByteArray("alpha"));
    EXPECT_FALSE(QFileInfo::exists(d + QStringLiteral("/b.txt")));

    // A wrong password is given once, then the file is skipped: some items failed.
    r = home.Run({"--password-file", wrong, "-d", "-fp", d + QStringLiteral("/b.txt.hvnc")});
    EXPECT_EQ(r.nStatus, 1) << r.strErr.toStdString();
    EXPECT_FALSE(QFileInfo::exists(d + QStringLiteral("/b.txt")));
    EXPECT_TRUE(QFileInfo::exists(d + QStringLiteral("/b.txt.hvnc")));
}

TEST(HnvSecure, WipeFilesAndAFolder)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    home.Write(QStringLiteral("w/one.txt"), "one");
    home.Write(QStringLiteral("w/tree/two.txt"), "two");
    const QString w = home.Home() + QStringLiteral("/w");
    const SResult r = home.Run({"--master-password-file", mp, "-w", "-p", w, "-f", "one.txt", "-f", "tree"});
    EXPECT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    EXPECT_FALSE(QFileInfo::exists(w + QStringLiteral("/one.txt")));
    EXPECT_FALSE(QFileInfo::exists(w + QStringLiteral("/tree/two.txt")));
}

TEST(HnvSecure, MailAttachesOnlyWhatWasEncrypted)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    const QString record = home.Home() + QStringLiteral("/mail-args");
    home.Write(
        home.Stubs() + QStringLiteral("/xdg-email"),
        QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1'\n").arg(record).toUtf8(),
        true);
    const QString m = home.Home() + QStringLiteral("/m");
    home.Write(QStringLiteral("m/a.txt"), "alpha");
    home.Write(QStringLiteral("m/b.txt"), "bravo");
    home.Write(QStringLiteral("m/b.txt.hvnc"), "in the way");  // b.txt cannot be encrypted

    // The password on the command line still works, with a warning.
    const SResult r =
        home.Run(Words("--master-password-file %1 -e -em -pt new -pw file-pass-1 -p %2 -f a.txt -f b.txt", {mp, m}));
    EXPECT_EQ(r.nStatus, 1) << r.strErr.toStdString();
    EXPECT_TRUE(r.strErr.contains(QStringLiteral("warning"))) << r.strErr.toStdString();
    EXPECT_EQ(CHome::Read(record), ("--attach\n" + m + "/a.txt.hvnc\n").toUtf8());
}

TEST(HnvSecure, AttributeQuestionAnsweredFromTheCommandLine)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    const QString fp = home.Write(QStringLiteral("fp"), kFilePassword);
    home.Write(QStringLiteral("q/a.txt"), "alpha");
    home.Write(QStringLiteral("q/.hidden.txt"), "hidden");
    const QString q = home.Home() + QStringLiteral("/q");

    // --no: the hidden file is refused (for the whole run), the other one encrypted.
    SResult r = home.Run(
        Words("--master-password-file %1 --password-file %2 --no -e -pt new -p %3 -f q", {mp, fp, home.Home()}));
    EXPECT_EQ(r.nStatus, 1) << r.strErr.toStdString();
    EXPECT_TRUE(QFileInfo::exists(q + QStringLiteral("/a.txt.hvnc")));
    EXPECT_FALSE(QFileInfo::exists(q + QStringLiteral("/.hidden.txt.hvnc")));

    // --yes: it is taken.
    r = home.Run(
        Words("--master-password-file %1 --password-file %2 --yes -e -pt new -p %3 -f .hidden.txt", {mp, fp, q}));
    EXPECT_EQ(r.nStatus, 0) << r.strErr.toStdString();
    EXPECT_TRUE(QFileInfo::exists(q + QStringLiteral("/.hidden.txt.hvnc")));
}

// Relative and ".." spellings of the program's own folders and of what holds them are refused
// with their reason; nothing in them changes.
TEST(HnvSecure, ProtectedPathsInRelativeSpellingsAreRefused)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    home.Write(QStringLiteral("w/one.txt"), "one");
    ASSERT_EQ(home.Run({"--master-password-file", mp, "-w", "-p", home.Home() + QStringLiteral("/w"), "-f", "one.txt"})
                  .nStatus,
              0);
    const QString desk = home.Write(QStringLiteral("Desktop/keep.txt"), "desk");
    const QString data = QFileInfo(home.SignatureFile()).path();
    const int nStoreFiles = static_cast<int>(CHome::AllFiles(home.DataFolder()).size());
    const QString pw = home.Write(QStringLiteral("pw"), kFilePassword);
    const QString vaultFile = CHome::AllFiles(home.DataFolder() + QStringLiteral("/vault")).value(0);
    struct SCase
    {
        QString strCwd;
        QStringList args;
        const char* pszTool = nullptr;  // hvcrypt instead of the program
    };
    const SCase cases[] = {
        {home.Home(), {"-h", "-p", ".", "-f", "Desktop"}},
        {home.Home() + QStringLiteral("/Desktop"), {"-h", "-fp", "."}},
        {home.Home(), {"-w", "-p", ".", "-f", ".local"}},
        {data, {"-e", "-w", "-fp", "."}},
        {data, {"-w", "-p", "..", "-f", "Data"}},
        {home.DataFolder(), {"-w", "-p", "../../..", "-f", ".local/share/Halvo-Soft/vault"}},
        // The tool beside the program refuses the same, with the same reason.
        {data, {"wipe", "HNVConfig.xml"}, "hvcrypt"},
        {home.Home(), {"wipe", "./.local/share/Halvo-Soft/HalvoNorvane/Data/../Data/HNVConfig.xml"}, "hvcrypt"},
        {data, {"encrypt", "--password-file", pw, "../Data/HNVConfig.xml"}, "hvcrypt"},
        {home.DataFolder(), {"wipe", "vault/" + QFileInfo(vaultFile).fileName()}, "hvcrypt"},
    };
    ASSERT_FALSE(vaultFile.isEmpty()) << "a file of the wiping run is kept in the vault";
    for (const SCase& c : cases) {
        const std::string strWhat = (c.strCwd + u' ' + c.args.join(u' ')).toStdString();
        if (c.pszTool != nullptr) {
            const SResult r = home.Run(c.args, c.strCwd, c.pszTool);
            EXPECT_EQ(r.nStatus, 1) << strWhat;
            EXPECT_TRUE(r.strErr.contains(QStringLiteral(": refused (protected path)"))) << r.strErr.toStdString();
            EXPECT_EQ(CHome::AllFiles(home.DataFolder()).size(), nStoreFiles) << strWhat;
            continue;
        }
        const SResult r = home.Run(QStringList{"--master-password-file", mp, "--json"} + c.args, c.strCwd);
        EXPECT_NE(r.nStatus, 0) << strWhat;
        const QJsonObject item = QJsonDocument::fromJson(r.strOut.toUtf8())
                                     .object()
                                     .value(QStringLiteral("items"))
                                     .toArray()
                                     .at(0)
                                     .toObject();
        EXPECT_EQ(item.value(QStringLiteral("reason")).toString(), QStringLiteral("protected path")) << strWhat;
        EXPECT_EQ(CHome::Read(desk), QByteArray("desk")) << strWhat;
        EXPECT_EQ(CHome::AllFiles(home.DataFolder()).size(), nStoreFiles) << strWhat;
    }
    // The master password still opens the program, and only it.
    home.Write(QStringLiteral("w/two.txt"), "two");
    EXPECT_EQ(home.Run({"--master-password-file", mp, "-w", "-p", home.Home() + QStringLiteral("/w"), "-f", "two.txt"})
                  .nStatus,
              0);
    const QString wrong = home.Write(QStringLiteral("wrong"), "not-the-master\n");
    EXPECT_NE(home.Run({"--master-password-file", wrong, "-w", "-p", home.Home(), "-f", "Desktop"}).nStatus, 0);
    EXPECT_EQ(CHome::Read(desk), QByteArray("desk"));
}

// Names that are not UTF-8, given with -p/-f and with -fp, for every task: each acts on those
// very bytes, and the look-alike names a lossy decoding would make of them are never touched.
TEST(HnvSecure, NamesThatAreNotUtf8WorkForEveryTask)
{
    const auto bytesOf = [](const std::string& strPath) {
        QFile file;
        const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
        return fd >= 0 && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ? file.readAll()
                                                                                           : QByteArray();
    };
    for (const bool bFullPath : {false, true}) {
        CHome home;
        const QString mp = home.Write(QStringLiteral("mp"), kMaster);
        const std::string w = home.Home().toStdString() + "/w";
        const std::string file = w + "/caf\xe9";
        const std::string dir = w + "/dir\xe9";
        const std::map<std::string, QByteArray> untouched = {
            {w + "/caf\xef\xbf\xbd", "look-alike file"},
            {w + "/dir\xef\xbf\xbd/in\xef\xbf\xbd", "look-alike inner"},
            {w + "/other", "other"},
        };
        for (const std::string& strDir : {w, dir, w + "/dir\xef\xbf\xbd"}) {
            ASSERT_EQ(::mkdir(strDir.c_str(), 0700), 0) << strDir;
        }
        const auto write = [](const std::string& strPath, const QByteArray& content) {
            const int fd = ::open(strPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            ASSERT_GE(fd, 0) << strPath;
            ASSERT_EQ(::write(fd, content.constData(), static_cast<size_t>(content.size())), content.size());
            ::close(fd);
        };
        write(file, "latin file");
        write(dir + "/in\xff", "latin inner");
        for (const auto& [strPath, content] : untouched) {
            write(strPath, content);
        }
        const auto exists = [](const std::string& strPath) { return ::access(strPath.c_str(), F_OK) == 0; };
        struct SStep
        {
            QStringList task;
            std::vector<std::string> names;  // in w
            std::function<void()> fnBefore;
            std::function<void()> fnCheck;
        };
        const SStep steps[] = {
            {{"-e", "-pt", "master"},
             {"caf\xe9", "dir\xe9"},
             {},
             [&] {
                 EXPECT_TRUE(exists(file + ".hvnc"));
                 EXPECT_TRUE(exists(dir + "/in\xff.hvnc"));
                 EXPECT_EQ(bytesOf(file), "latin file");
             }},
            {{"-d"},
             {"caf\xe9.hvnc"},
             [&] { ASSERT_EQ(::unlink(file.c_str()), 0); },
             [&] {
                 EXPECT_EQ(bytesOf(file), "latin file");
                 EXPECT_FALSE(exists(file + ".hvnc"));
             }},
            {{"-w"},
             {"caf\xe9", "dir\xe9"},
             {},
             [&] {
                 EXPECT_FALSE(exists(file));
                 EXPECT_FALSE(exists(dir + "/in\xff"));
                 EXPECT_FALSE(exists(dir + "/in\xff.hvnc"));
             }},
            {{"-h"},
             {"caf\xe9", "dir\xe9"},
             [&] { write(file, "latin again"); },
             [&] {
                 EXPECT_FALSE(exists(file));
                 EXPECT_FALSE(exists(dir));
                 EXPECT_TRUE(home.VaultHolds("latin again"));
             }},
            {{"-ui", "--yes"},
             {},
             {},
             [&] {
                 EXPECT_EQ(bytesOf(file), "latin again");
                 EXPECT_TRUE(exists(dir));
             }},
        };
        for (const SStep& step : steps) {
            if (step.fnBefore) {
                step.fnBefore();
            }
            QStringList args = QStringList{"--master-password-file", mp} + step.task;
            if (!bFullPath && !step.names.empty()) {
                args << "-p" << HVGlobalMFC::HVPathFromBytes(w);
            }
            for (const std::string& strName : step.names) {
                args << (bFullPath ? "-fp" : "-f")
                     << HVGlobalMFC::HVPathFromBytes(bFullPath ? w + "/" + strName : strName);
            }
            const SResult r = home.Run(args);
            const std::string strWhat = step.task.join(u' ').toStdString() + (bFullPath ? " -fp" : " -f");
            EXPECT_EQ(r.nStatus, 0) << strWhat << ": " << r.strErr.toStdString() << r.strOut.toStdString();
            step.fnCheck();
            for (const auto& [strPath, content] : untouched) {
                EXPECT_EQ(bytesOf(strPath), content) << strWhat << ": " << strPath;
            }
            EXPECT_FALSE(exists(w + "/caf\xef\xbf\xbd.hvnc")) << strWhat;
        }
        std::error_code ec;
        std::filesystem::remove_all(w, ec);  // names the temporary folder's own clean-up cannot spell
    }
}

TEST(HnvSecure, NothingToDo)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    QDir().mkpath(home.Home() + QStringLiteral("/empty"));
    const SResult r = home.Run({"--master-password-file", mp, "--json", "-w", "-p", home.Home(), "-f", "empty"});
    EXPECT_EQ(r.nStatus, 3) << r.strErr.toStdString() << r.strOut.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(r.strOut.toUtf8()).object().value(QStringLiteral("status")).toInt(-1), 3);
}

TEST(HnvRuns, TwoRunsOnOneFolderOneRefusedWithTheReason)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    const QString d = home.Home() + QStringLiteral("/many");
    for (int i = 0; i < 600; ++i) {
        home.Write(QStringLiteral("many/f%1.txt").arg(i), QByteArray(4096, static_cast<char>('a' + i % 26)));
    }
    // The first set-up makes the master password; afterwards both runs only check it.
    ASSERT_EQ(home.Run({"--master-password-file", mp, "-rh"}).nStatus, 0);

    const QStringList args{"--master-password-file", mp, "-e", "-w", "-p", home.Home(), "-f", "many"};
    const pid_t first = home.Start(args, QStringLiteral("1"));
    // The second starts once the first is at work (its first encrypted file is there).
    for (int n = 0; n < 3000 && !QFileInfo::exists(d + QStringLiteral("/f0.txt.hvnc"))
                    && CHome::AllFiles(d).filter(QStringLiteral(".hvnc")).isEmpty();
         ++n) {
        ::usleep(10000);
    }
    // The first is held still while at work, so the second surely meets it.
    ASSERT_EQ(::kill(first, SIGSTOP), 0);
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(first), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == first) {
        (void)home.Wait(first, QStringLiteral("1"));
        GTEST_SKIP() << "the first run ended before it could be held";
    }
    const SResult r2 = home.Wait(home.Start(args, QStringLiteral("2")), QStringLiteral("2"));
    ASSERT_EQ(::kill(first, SIGCONT), 0);
    const SResult r1 = home.Wait(first, QStringLiteral("1"));
    EXPECT_EQ(r1.nStatus, 0) << r1.strErr.toStdString();
    EXPECT_EQ(r2.nStatus, 5) << r2.strErr.toStdString();
    EXPECT_TRUE(r2.strErr.contains(QStringLiteral("Another"))) << r2.strErr.toStdString();

    // Every file encrypted once and wiped; no duplicates.
    const QStringList files = CHome::AllFiles(d);
    EXPECT_EQ(files.size(), 600);
    for (const QString& f : files) {
        EXPECT_TRUE(f.endsWith(QStringLiteral(".txt.hvnc")) && !f.contains(u'(')) << f.toStdString();
    }
}

TEST(HnvRuns, JsonNamesEachFailureWithItsReason)
{
    CHome home;
    const QString mp = home.Write(QStringLiteral("mp"), kMaster);
    const QString d = home.Home() + QStringLiteral("/j");
    home.Write(QStringLiteral("j/sel/ok.txt"), "fine");
    home.Write(QStringLiteral("keep.txt"), "kept under another name");
    ASSERT_EQ(::link((home.Home() + QStringLiteral("/keep.txt")).toUtf8().constData(),
                     (d + QStringLiteral("/sel/twin.txt")).toUtf8().constData()),
              0);
    QDir().mkpath(home.Home() + QStringLiteral("/elsewhere"));
    home.Write(QStringLiteral("elsewhere/x.txt"), "outside");
    ASSERT_EQ(::symlink("../elsewhere", (d + QStringLiteral("/dirlink")).toUtf8().constData()), 0);

    const SResult r =
        home.Run({"--master-password-file", mp, "--json", "--no", "-w", "-p", d, "-f", "sel", "-f", "dirlink"});
    EXPECT_EQ(r.nStatus, 1) << r.strErr.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(r.strOut.toUtf8()).object();
    QStringList reasons;
    for (const QJsonValue& item : json.value(QStringLiteral("items")).toArray()) {
        reasons << item.toObject().value(QStringLiteral("reason")).toString();
    }
    ASSERT_EQ(reasons.size(), 2) << r.strOut.toStdString();
    EXPECT_TRUE(reasons[0].contains(QStringLiteral("twin.txt")) && reasons[0].contains(QStringLiteral("hard links")))
        << reasons[0].toStdString();
    EXPECT_TRUE(reasons[1].contains(QStringLiteral("link"))) << reasons[1].toStdString();
    EXPECT_EQ(CHome::Read(home.Home() + QStringLiteral("/keep.txt")), QByteArray("kept under another name"));
    EXPECT_EQ(CHome::Read(home.Home() + QStringLiteral("/elsewhere/x.txt")), QByteArray("outside"));
    EXPECT_FALSE(QFileInfo::exists(d + QStringLiteral("/sel/ok.txt")));
    EXPECT_FALSE(r.strErr.contains(QStringLiteral("nothing")));
}
