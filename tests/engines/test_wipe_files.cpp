// What the wipe engine refuses, and files it must handle with care: links, folders, special files,
// read-only files, hard links.

#include "engines/CWipeManager.h"

#include <sys/wait.h>

#include "test_wipe_util.h"

using namespace wipetest;

namespace {

constexpr uid_t kNobody = 65534;

// Runs fn in a child process under the user nobody; returns fn's result, or -1.
template <typename Fn>
int RunAsNobody(Fn fn)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) {
            _exit(100);
        }
        _exit(fn());
    }
    int nStatus = 0;
    if (pid < 0 || waitpid(pid, &nStatus, 0) != pid || !WIFEXITED(nStatus)) {
        return -1;
    }
    return WEXITSTATUS(nStatus);
}

}  // namespace

// A symbolic link is refused: neither the link nor what it points to is touched.
TEST(WipeRefuse, SymbolicLinks)
{
    CTempDir dir;
    const std::vector<std::uint8_t> original = MakeContent(2000);
    ASSERT_TRUE(WriteFile(dir / "target", original));
    ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
    ASSERT_EQ(symlink("target", (dir / "to-file").c_str()), 0);
    ASSERT_EQ(symlink("sub", (dir / "to-dir").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (dir / "dangling").c_str()), 0);
    for (const char* pszLink : {"to-file", "to-dir", "dangling"}) {
        CWipeManager wipe;
        EXPECT_EQ(wipe.WipeFile(dir / pszLink, 2000), 0) << pszLink;
        EXPECT_NE(wipe.GetLastError().find("symbolic link"), std::string::npos) << wipe.GetLastError();
        EXPECT_TRUE(Exists(dir / pszLink));
        EXPECT_FALSE(wipe.m_sigBusy.IsSet());
    }
    EXPECT_EQ(ReadFile(dir / "target"), original);
    // A link in the middle of the path is an ordinary folder path, and the file it reaches is wiped.
    CWipeManager wipe;
    ASSERT_TRUE(WriteFile(dir / "sub/inner", original));
    EXPECT_NE(wipe.WipeFile(dir / "to-dir" + "/inner", 2000), 0) << wipe.GetLastError();
    EXPECT_FALSE(Exists(dir / "sub/inner"));
}

TEST(WipeRefuse, FoldersSpecialFilesAndMissingPaths)
{
    CTempDir dir;
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);
    for (const std::string& strPath : {dir / "folder",
                                       dir / "fifo",
                                       dir / "missing",
                                       dir / "missing/x",
                                       dir.Path() + "/",
                                       dir / ".",
                                       dir / "..",
                                       std::string()}) {
        CWipeManager wipe;
        EXPECT_EQ(wipe.WipeFile(strPath, 0), 0) << strPath;
        EXPECT_FALSE(wipe.GetLastError().empty()) << strPath;
    }
    EXPECT_TRUE(Exists(dir / "folder"));
    EXPECT_TRUE(Exists(dir / "fifo"));
}

// A read-only file of one's own is wiped (the owner may make it writable); as root the mode is no
// obstacle anyway.
TEST(WipeReadOnly, OwnReadOnlyFileIsWiped)
{
    CTempDir dir;
    const std::string strFile = dir / "ro";
    ASSERT_TRUE(WriteFile(strFile, MakeContent(5000)));
    ASSERT_EQ(chmod(strFile.c_str(), 0444), 0);
    CWipeManager wipe;
    wipe.SetMethod(1);
    std::vector<std::uint8_t> first;
    wipe.SetPassObserver([&](int nPass, int, const std::string& strPath) {
        if (nPass == 1) {
            first = ReadFile(strPath);
        }
    });
    ASSERT_NE(wipe.WipeFile(strFile, 5000), 0) << wipe.GetLastError();
    EXPECT_EQ(first, std::vector<std::uint8_t>(5000, 0));
    EXPECT_TRUE(ListFolder(dir.Path()).empty());
}

// The same for an ordinary user, who cannot write the file until its mode is changed; a user who
// neither owns nor may write a file gets a failure and the file stays as it was.
TEST(WipeReadOnly, AsOrdinaryUser)
{
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to switch to the user nobody";
    }
    CTempDir dir;
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "home").c_str(), 0755), 0);
    ASSERT_EQ(chown((dir / "home").c_str(), kNobody, kNobody), 0);
    const std::string strOwn = dir / "home/own";
    const std::string strForeign = dir / "home/foreign";
    const std::vector<std::uint8_t> original = MakeContent(3000);
    ASSERT_TRUE(WriteFile(strOwn, original));
    ASSERT_TRUE(WriteFile(strForeign, original));
    ASSERT_EQ(chown(strOwn.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chmod(strOwn.c_str(), 0444), 0);
    ASSERT_EQ(chmod(strForeign.c_str(), 0644), 0);  // root's, readable, not writable by nobody

    // Stopped half-way: failure, and the file keeps its read-only mode.
    EXPECT_EQ(RunAsNobody([&] {
                  CWipeManager wipe;
                  wipe.SetMethod(1);  // a second pass, whose first write finds the stop signal set
                  wipe.SetParent([&](std::uint32_t) { wipe.m_sigStop.Set(); });
                  return wipe.WipeFile(strOwn, 3000) == 0 ? 0 : 1;
              }),
              0);
    struct stat st = {};
    ASSERT_EQ(stat(strOwn.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444U);

    EXPECT_EQ(RunAsNobody([&] {
                  CWipeManager wipe;
                  return wipe.WipeFile(strOwn, 3000) != 0 ? 0 : 1;
              }),
              0);
    EXPECT_FALSE(Exists(strOwn));

    EXPECT_EQ(RunAsNobody([&] {
                  CWipeManager wipe;
                  const bool bFailedCleanly = wipe.WipeFile(strForeign, 3000) == 0 && !wipe.GetLastError().empty();
                  return bFailedCleanly ? 0 : 1;
              }),
              0);
    EXPECT_EQ(ReadFile(strForeign), original);
    ASSERT_EQ(stat(strForeign.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644U);
}

// A file with a second hard link: the shared content is overwritten, only the named link goes.
TEST(WipeHardLink, SharedContentIsOverwritten)
{
    CTempDir dir;
    const std::vector<std::uint8_t> original = MakeContent(4096);
    ASSERT_TRUE(WriteFile(dir / "one", original));
    ASSERT_EQ(link((dir / "one").c_str(), (dir / "two").c_str()), 0);
    CWipeManager wipe;
    wipe.SetMethod(1);
    wipe.SetDoDParam(1, "AA");
    ASSERT_NE(wipe.WipeFile(dir / "one", 4096), 0) << wipe.GetLastError();
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"two"});
    EXPECT_TRUE(ReadFile(dir / "two").empty());  // truncated with the rest of the wipe
}
