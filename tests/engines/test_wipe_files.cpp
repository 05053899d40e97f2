// What the wipe engine refuses, and files it must handle with care: links, folders, special files,
// read-only files, hard links.

#include "engines/CWipeManager.h"
#include "engines/HVPendingRecords.h"
#include "engines/HvncResult.h"

#include <fcntl.h>
#include <fstream>
#include <functional>

#include "WipeTestSupport.h"
#include "support/Programs.h"

using namespace wipetest;

namespace {

constexpr uid_t kNobody = 65534;

// Runs fn in a child process under the user nobody, whose data folder is strData; returns fn's
// result, or -1.
template <typename Fn>
int RunAsNobody(const std::string& strData, Fn fn)
{
    return hvtest::RunInChild([&] {
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) {
            return 100;
        }
        HVPendingRecords::SetDataFolder(strData);
        return fn();
    });
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
    EXPECT_TRUE(List(dir.Path()).empty());
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
    const std::string strData = dir / "home/.data";
    const std::vector<std::uint8_t> original = MakeContent(3000);
    ASSERT_TRUE(WriteFile(strOwn, original));
    ASSERT_TRUE(WriteFile(strForeign, original));
    ASSERT_EQ(chown(strOwn.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chmod(strOwn.c_str(), 0444), 0);
    ASSERT_EQ(chmod(strForeign.c_str(), 0644), 0);  // root's, readable, not writable by nobody

    // Stopped half-way: failure, and the file keeps its read-only mode.
    EXPECT_EQ(RunAsNobody(strData,
                          [&] {
                              CWipeManager wipe;
                              wipe.SetMethod(1);  // a second pass, whose first write finds the stop signal set
                              wipe.SetParent([&](std::uint32_t) { wipe.m_sigStop.Set(); });
                              return wipe.WipeFile(strOwn, 3000) == 0 ? 0 : 1;
                          }),
              0);
    EXPECT_EQ(hvtest::ModeOf(strOwn), 0444);

    EXPECT_EQ(RunAsNobody(strData,
                          [&] {
                              CWipeManager wipe;
                              return wipe.WipeFile(strOwn, 3000) != 0 ? 0 : 1;
                          }),
              0);
    EXPECT_FALSE(Exists(strOwn));

    EXPECT_EQ(RunAsNobody(strData,
                          [&] {
                              CWipeManager wipe;
                              const bool bFailedCleanly =
                                  wipe.WipeFile(strForeign, 3000) == 0 && !wipe.GetLastError().empty();
                              return bFailedCleanly ? 0 : 1;
                          }),
              0);
    EXPECT_EQ(ReadFile(strForeign), original);
    EXPECT_EQ(hvtest::ModeOf(strForeign), 0644);
}

// A file named by held folder and name: a hard-linked file is never overwritten (only its one name
// goes, when asked), and a name that no longer holds the listed, unchanged file is left alone.
TEST(WipeAt, HardLinksAndSwappedNames)
{
    const auto AddLink = [](const std::string& d) {
        ASSERT_EQ(link((d + "/sel/f").c_str(), (d + "/keep").c_str()), 0);
    };
    struct SCase
    {
        const char* pszName;
        std::function<void(const std::string& dir)> change;
        bool bBeforeListing;  // change made before the listing, else after it
        bool bUnlinkOnly;
        int nExpected;
        bool bNameGone;
    };
    const SCase cases[] = {
        {"plain file", [](const std::string&) {}, false, false, HVNC_OK, true},
        {"hard link elsewhere", AddLink, true, false, HVNC_MULTIPLE_LINKS, false},
        {"hard link elsewhere, this name only", AddLink, true, true, HVNC_OK, true},
        {"hard link added after the listing", AddLink, false, true, HVNC_CHANGED, false},
        {"name now holds another file",
         [](const std::string& d) {
             ASSERT_EQ(rename((d + "/sel/f").c_str(), (d + "/keep").c_str()), 0);
             ASSERT_TRUE(WriteFile(d + "/sel/f", MakeContent(100, 3)));
         },
         false,
         false,
         HVNC_CHANGED,
         false},
        {"appended to after the listing",
         [](const std::string& d) { std::ofstream(d + "/sel/f", std::ios::app) << "more"; },
         false,
         false,
         HVNC_CHANGED,
         false},
        {"name now a link to an outside file",
         [](const std::string& d) {
             ASSERT_EQ(rename((d + "/sel/f").c_str(), (d + "/keep").c_str()), 0);
             ASSERT_EQ(symlink((d + "/keep").c_str(), (d + "/sel/f").c_str()), 0);
         },
         false,
         false,
         HVNC_CHANGED,
         false},
        {"selected folder replaced by a link to the outside",
         [](const std::string& d) {
             ASSERT_EQ(rename((d + "/sel").c_str(), (d + "/sel.moved").c_str()), 0);
             ASSERT_EQ(mkdir((d + "/out").c_str(), 0700), 0);
             ASSERT_TRUE(WriteFile(d + "/out/f", MakeContent(4096)));
             ASSERT_EQ(symlink((d + "/out").c_str(), (d + "/sel").c_str()), 0);
         },
         false,
         false,
         HVNC_OK,
         false},
    };
    const std::vector<std::uint8_t> original = MakeContent(4096);
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        CTempDir dir;
        ASSERT_EQ(mkdir((dir / "sel").c_str(), 0700), 0);
        ASSERT_TRUE(WriteFile(dir / "sel/f", original));
        if (c.bBeforeListing) {
            c.change(dir.Path());
        }
        const int fd = open((dir / "sel").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        struct stat st = {};
        ASSERT_EQ(fstatat(fd, "f", &st, AT_SYMLINK_NOFOLLOW), 0);
        SHVFileRef ref;
        ref.nDirFd = fd;
        ref.strName = "f";
        HVSetListed(ref, st, true);
        if (!c.bBeforeListing) {
            c.change(dir.Path());
        }
        CWipeManager wipe;
        EXPECT_EQ(wipe.WipeFileAt(ref, c.bUnlinkOnly), c.nExpected) << wipe.GetLastError();
        close(fd);
        EXPECT_EQ(Exists(dir / "sel/f"), !c.bNameGone);
        if (Exists(dir / "keep")) {
            EXPECT_EQ(ReadFile(dir / "keep"), original) << "another name keeps its content";
        }
        if (Exists(dir / "out/f")) {
            EXPECT_EQ(ReadFile(dir / "out/f"), original) << "nothing outside the held folder is touched";
            EXPECT_FALSE(Exists(dir / "sel.moved/f")) << "the held folder's file is wiped";
        }
    }
}

// The path form refuses a hard-linked file as well.
TEST(WipeHardLink, PathFormRefusesAndWritesNothing)
{
    CTempDir dir;
    const std::vector<std::uint8_t> original = MakeContent(4096);
    ASSERT_TRUE(WriteFile(dir / "one", original));
    ASSERT_EQ(link((dir / "one").c_str(), (dir / "two").c_str()), 0);
    CWipeManager wipe;
    EXPECT_EQ(wipe.WipeFile(dir / "one", 4096), 0);
    EXPECT_EQ(wipe.GetLastResult(), HVNC_MULTIPLE_LINKS);
    EXPECT_EQ(ReadFile(dir / "one"), original);
    EXPECT_EQ(ReadFile(dir / "two"), original);
}
