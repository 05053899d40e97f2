// The runners on a hostile filesystem: whatever is swapped, linked or edited while a run goes on,
// nothing outside the selection changes, and the file concerned is reported with its reason.
//
// One table: each case builds a selection with a file outside it, may change the tree at the
// runner's seams (before a file is acted on, before its wipe), and is run for every operation.
#include "engines/CEncryptManager.h"
#include "security/CHideProgrssWork.h"
#include "security/CRunFileLister.h"
#include "security/CRunLock.h"

#include <QFile>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "RunnerTestSupport.h"

namespace {

using namespace runtest;

enum EOp
{
    OpEncrypt,
    OpEncryptWipe,
    OpWipe,
    OpHide,
    OpDecrypt,
    OpCount
};
const char* const kOpNames[] = {"encrypt", "encrypt+wipe", "wipe", "hide", "decrypt"};

constexpr uid_t kOtherUid = 65534;

using SItems = std::vector<std::pair<std::string, bool>>;  // (path relative to the test folder, is a folder)

// What a case does. "sel" is the selection, "out" is outside it (the fixture fills "out" with
// keep.txt and dir/id_rsa first). A decryption run works on the ".hvnc" of every file in "sel".
struct SCase
{
    const char* pszName;
    unsigned nOps;  // bit per EOp
    std::function<SItems(const CTempDir&)> setup;
    // Called once, before the file whose path ends in pszAt is acted on (or before its wipe).
    const char* pszAt;
    bool bBeforeWipe;
    std::function<void(const CTempDir&)> change;
    // A problem naming a path that contains pszFailed, with pszReasonPart in its reason, is
    // expected ("" when the run must report no problem).
    const char* pszFailed;
    const char* pszReasonPart;
    bool bNeedsOtherUser;
    // Anything else to hold afterwards (given the operation); returns what went wrong.
    std::function<std::string(const CTempDir&, EOp)> verify;
};

constexpr unsigned All =
    (1u << OpEncrypt) | (1u << OpEncryptWipe) | (1u << OpWipe) | (1u << OpHide) | (1u << OpDecrypt);
constexpr unsigned Files = All & ~(1u << OpHide);
constexpr unsigned Wipes = (1u << OpEncryptWipe) | (1u << OpWipe);

std::map<std::string, std::string> Snapshot(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) {
        if (fs::is_regular_file(fs::symlink_status(it->path()))) {
            files[it->path().string()] = ReadFile(it->path().string()).value_or("");
        }
    }
    return files;
}

class HostileRun : public RunnerTest
{
protected:
    static void EncryptAway(const std::string& strPath)
    {
        ASSERT_TRUE(EncryptWith(strPath, u"pw"));
        fs::remove(strPath);
    }

    // Runs the operation on the items; the problems it reports.
    static SRunDetails Run(const CTempDir& dir, EOp op, const SCase& c, const SItems& rel)
    {
        std::vector<std::unique_ptr<CItemData>> owned;
        std::vector<CItemData*> items;
        const std::string strExt = op == OpDecrypt ? ".hvnc" : "";
        for (const auto& [strRel, bFolder] : rel) {
            owned.push_back(bFolder ? FolderItem(dir / strRel) : FileItem(dir / (strRel + strExt)));
            items.push_back(owned.back().get());
        }
        bool bChanged = false;
        auto hook = [&](std::size_t, const CItemData& entry) {
            if (!bChanged && c.change
                && QFile::encodeName(entry.m_strPath).endsWith(QByteArray(c.pszAt) + strExt.c_str())) {
                bChanged = true;
                c.change(dir);
            }
        };
        if (op == OpHide) {
            CHideProgrssWork hide;
            hide.SetItems(items);
            hide.SetBeforeItemHook(hook);
            const std::string strVault = dir / "vault";
            fs::create_directories(strVault);
            int n = 0;
            hide.SetHidePath([&](const QString& strPath) {
                // A hiding engine moves the item by name (a rename never follows a link).
                const std::string strTo = strVault + "/" + std::to_string(n++);
                return ::rename(QFile::encodeName(strPath).constData(), strTo.c_str()) == 0 ? 1 : 0;
            });
            hide.Initialise(0, 1, 0, nullptr);
            EXPECT_EQ(hide.Run(), 0);
            return hide.Details();
        }
        CProgrssManagerWork work;
        work.SetWindowFiles(op == OpEncrypt ? 8 : 1);  // the windowed path and the one-by-one path
        if (c.bBeforeWipe) {
            work.SetBeforeWipeHook(hook);
        } else {
            work.SetBeforeFileHook(hook);
        }
        work.SetSelectedItems(items);
        work.SetPassword(CSecureBuffer::FromUtf16Units(u"pw"));
        work.SetMasterPassword(CSecureBuffer::FromUtf16Units(u"pw"));
        work.Initialise(op == OpDecrypt ? Decrypt() : Secure(op != OpWipe, op == OpEncrypt ? 0 : 2), nullptr);
        EXPECT_EQ(work.Run(), 0);
        return work.Details();
    }

    static std::string Judge(const SCase& c, const SRunDetails& details)
    {
        std::string strWrong;
        bool bNamed = false;
        for (const SRunProblem& p : details.problems) {
            bNamed = bNamed
                     || (*c.pszFailed != '\0' && p.strPath.find(c.pszFailed) != std::string::npos
                         && p.strReason.find(c.pszReasonPart) != std::string::npos);
        }
        if ((*c.pszFailed != '\0') != bNamed) {
            strWrong += *c.pszFailed != '\0'
                            ? std::string(" expected a failure of ") + c.pszFailed + " (\"" + c.pszReasonPart + "\"):"
                            : std::string(" unexpected failures:");
            for (const SRunProblem& p : details.problems) {
                strWrong += " [" + p.strPath + ": " + p.strStep + ": " + p.strReason + "]";
            }
        }
        return strWrong;
    }

    // The tree every run starts from: "out" with keep.txt and dir/id_rsa (encrypted too for a
    // decryption run), then the case's own; for a decryption run every plain file of "sel" (not
    // a second name of another file) is encrypted in its place. The selection.
    static SItems Prepare(const CTempDir& dir, EOp op, const SCase& c)
    {
        WriteFile(dir / "out/keep.txt", Content(3000, 'k'));
        WriteFile(dir / "out/dir/id_rsa", Content(2000, 'i'));
        if (op == OpDecrypt) {
            EXPECT_TRUE(EncryptWith(dir / "out/dir/id_rsa", u"pw"));
        }
        SItems items = c.setup(dir);
        if (op == OpDecrypt) {
            std::vector<fs::path> plain;
            for (auto it = fs::recursive_directory_iterator(fs::path(dir.Path()) / "sel");
                 it != fs::recursive_directory_iterator();
                 ++it) {
                if (fs::is_regular_file(fs::symlink_status(it->path())) && fs::hard_link_count(it->path()) == 1) {
                    plain.push_back(it->path());
                }
            }
            for (const fs::path& p : plain) {
                EncryptAway(p.string());
            }
        }
        if (c.bNeedsOtherUser) {
            ::chmod((dir / "sel/private").c_str(), 0300);
        }
        return items;
    }

    // Root reads everything: the tree is given to another user, who makes the run in a child
    // process. What the child judged wrong.
    static std::string AsOtherUser(const CTempDir& dir, const std::function<std::string()>& run)
    {
        for (auto it = fs::recursive_directory_iterator(dir.Path()); it != fs::recursive_directory_iterator(); ++it) {
            EXPECT_EQ(::lchown(it->path().c_str(), kOtherUid, kOtherUid), 0);
        }
        EXPECT_EQ(::chown(dir.Path().c_str(), kOtherUid, kOtherUid), 0);
        int fds[2];
        if (::pipe(fds) != 0) {
            return "no pipe";
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            std::string strChild = "cannot become another user";
            if (::setgroups(0, nullptr) == 0 && ::setresgid(kOtherUid, kOtherUid, kOtherUid) == 0
                && ::setresuid(kOtherUid, kOtherUid, kOtherUid) == 0) {
                strChild = run();
            }
            const bool bSent = ::write(fds[1], strChild.data(), strChild.size()) >= 0;
            ::_exit(bSent ? 0 : 1);
        }
        ::close(fds[1]);
        std::string strWrong;
        char buf[4096];
        ssize_t n;
        while ((n = ::read(fds[0], buf, sizeof buf)) > 0) {
            strWrong.append(buf, static_cast<std::size_t>(n));
        }
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return strWrong;
    }

    // One case, one operation: "" when all held.
    static std::string Check(const SCase& c, EOp op)
    {
        CTempDir dir;
        const SItems items = Prepare(dir, op, c);
        const auto before = Snapshot(dir / "out");
        const auto run = [&] { return Judge(c, Run(dir, op, c, items)); };
        std::string strWrong = c.bNeedsOtherUser && ::geteuid() == 0 ? AsOtherUser(dir, run) : run();
        const auto after = Snapshot(dir / "out");
        for (const auto& [strPath, strContent] : before) {
            const auto it = after.find(strPath);
            if (it == after.end() || it->second != strContent) {
                strWrong += " outside file changed or gone: " + strPath + ";";
            }
        }
        if (c.verify) {
            strWrong += c.verify(dir, op);
        }
        return strWrong;
    }
};

void Symlink(const std::string& strTarget, const std::string& strLink)
{
    fs::create_symlink(strTarget, strLink);
}

// Each row: name, operations; set-up; the path the change waits for, before its wipe or not, the
// change; the failure expected (path part, reason part); whether another user runs it; the check.
// clang-format off
const SCase kCases[] = {
    {"a listed folder swapped for a link to the outside", Files,
     [](const CTempDir& d) { WriteFile(d / "sel/a/id_rsa", Content(500, 'a')); return SItems{{"sel", true}}; },
     "/a/id_rsa", false,
     [](const CTempDir& d) { fs::rename(d / "sel/a", d / "a.old"); Symlink(d / "out/dir", d / "sel/a"); },
     "sel/a", "no longer", false, nullptr},
    {"a listed file replaced by another name of an outside file", Files,
     [](const CTempDir& d) { WriteFile(d / "sel/f.txt", Content(700, 'f')); return SItems{{"sel", true}}; },
     "/f.txt", false,
     [](const CTempDir& d) {
         const bool bEncrypted = Exists(d / "sel/f.txt.hvnc");
         fs::create_hard_link(bEncrypted ? d / "out/dir/id_rsa.hvnc" : d / "out/keep.txt", d / "sel/tmp");
         fs::rename(d / "sel/tmp", d / (bEncrypted ? "sel/f.txt.hvnc" : "sel/f.txt"));
     },
     "sel/f.txt", "no longer", false, nullptr},
    {"a hard link to an outside file selected for wiping", Wipes,
     [](const CTempDir& d) {
         fs::create_directories(d / "sel");
         fs::create_hard_link(d / "out/keep.txt", d / "sel/copy.txt");
         return SItems{{"sel/copy.txt", false}};
     },
     "", false, nullptr, "sel/copy.txt", "hard links", false,
     [](const CTempDir& d, EOp) { return Exists(d / "sel/copy.txt") ? "" : " the hard link's name was removed;"; }},
    {"a hard link added to an outside name between encryption and wipe", Wipes,
     [](const CTempDir& d) { WriteFile(d / "sel/g.txt", Content(900, 'g')); return SItems{{"sel", true}}; },
     "/g.txt", true,
     [](const CTempDir& d) { fs::create_hard_link(d / "sel/g.txt", d / "out/g-link.txt"); },
     "sel/g.txt", "", false,
     [](const CTempDir& d, EOp) {
         return ReadFile(d / "out/g-link.txt") == Content(900, 'g') ? "" : " the added name lost its content;";
     }},
    {"an edit between encryption and wipe", 1u << OpEncryptWipe,
     [](const CTempDir& d) { WriteFile(d / "sel/e.txt", Content(800, 'e')); return SItems{{"sel", true}}; },
     "/e.txt", true,
     [](const CTempDir& d) { std::ofstream(d / "sel/e.txt", std::ios::app) << "an edit"; },
     "sel/e.txt", "changed after it was read", false,
     [](const CTempDir& d, EOp) {
         return ReadFile(d / "sel/e.txt") == Content(800, 'e') + "an edit" ? "" : " the edit was lost;";
     }},
    {"the selected root renamed and replaced by a link mid-run", Files,
     [](const CTempDir& d) {
         WriteFile(d / "sel/1.txt", Content(100, '1'));
         WriteFile(d / "sel/2.txt", Content(100, '2'));
         return SItems{{"sel", true}};
     },
     ".txt", false,
     [](const CTempDir& d) { fs::rename(d / "sel", d / "moved"); Symlink(d / "out", d / "sel"); },
     "", "", false, nullptr},
    {"the selected item swapped for a link to the outside before it is hidden", 1u << OpHide,
     [](const CTempDir& d) { WriteFile(d / "sel/item/x.txt", "x"); return SItems{{"sel/item", true}}; },
     "sel/item", false,
     [](const CTempDir& d) { fs::rename(d / "sel/item", d / "item.old"); Symlink(d / "out/dir", d / "sel/item"); },
     "sel/item", "no longer", false, nullptr},
    {"a selected link to a folder", All,
     [](const CTempDir& d) {
         fs::create_directories(d / "sel");
         Symlink(d / "out/dir", d / "sel/link");
         return SItems{{"sel/link", true}};
     },
     "", false, nullptr, "sel/link", "link", false, nullptr},
    {"a selected link to an outside file", Files,
     [](const CTempDir& d) {
         fs::create_directories(d / "sel");
         Symlink(d / "out/keep.txt", d / "sel/flink");
         return SItems{{"sel/flink", false}};
     },
     "", false, nullptr, "", "", false,
     // Encrypted: the target's content lands beside the link; a later wipe removes the link.
     [](const CTempDir& d, EOp op) -> std::string {
         if (op == OpEncrypt || op == OpEncryptWipe) {
             if (!Exists(d / "sel/flink.hvnc")) {
                 return " the link's target was not encrypted;";
             }
             if (Exists(d / "sel/flink") != (op == OpEncrypt)) {
                 return " the link was not (or wrongly) removed;";
             }
         }
         return "";
     }},
    {"an unreadable subfolder", Files,
     [](const CTempDir& d) {
         WriteFile(d / "sel/open.txt", Content(100, 'o'));
         WriteFile(d / "sel/private/s.txt", Content(100, 's'));
         return SItems{{"sel", true}};
     },
     "", false, nullptr, "sel/private", "Permission denied", true,
     [](const CTempDir& d, EOp op) {
         ::chmod((d / "sel/private").c_str(), 0700);
         const bool bPlain = Exists(d / (op == OpDecrypt ? "sel/private/s.txt.hvnc" : "sel/private/s.txt"));
         return bPlain ? "" : " the unreadable folder's file was touched;";
     }},
    {"a folder name that is not UTF-8", Files,
     [](const CTempDir& d) { WriteFile(d / "sel/caf\xe9/x.txt", Content(100, 'x')); return SItems{{"sel", true}}; },
     "", false, nullptr, "", "", false,
     [](const CTempDir& d, EOp op) {
         const char* pszWant = op == OpEncrypt ? "sel/caf\xe9/x.txt.hvnc"
                               : op == OpWipe  ? ""
                                               : (op == OpDecrypt ? "sel/caf\xe9/x.txt" : "sel/caf\xe9/x.txt.hvnc");
         const bool bGone = !Exists(d / "sel/caf\xe9/x.txt") && !Exists(d / "sel/caf\xe9/x.txt.hvnc");
         return (*pszWant == '\0' ? bGone : Exists(d / pszWant)) ? "" : " not processed;";
     }},
    {"a file named like the engine's temporary", (1u << OpEncrypt) | (1u << OpEncryptWipe) | (1u << OpWipe),
     [](const CTempDir& d) {
         WriteFile(d / "sel/.y.txt.hvnc.hvtmp-99999-ABCDEF", "mine");
         WriteFile(d / "sel/.hvwipe-ABCDEFGHIJ12", "mine");
         return SItems{{"sel", true}};
     },
     "", false, nullptr, "", "", false,
     [](const CTempDir& d, EOp) {
         return ReadFile(d / "sel/.y.txt.hvnc.hvtmp-99999-ABCDEF") == std::optional<std::string>("mine")
                        && ReadFile(d / "sel/.hvwipe-ABCDEFGHIJ12") == std::optional<std::string>("mine")
                    ? ""
                    : " a file named like a temporary was taken as data;";
     }},
};
// clang-format on

TEST_F(HostileRun, NothingOutsideTheSelectionChangesAndTheAffectedFileIsNamed)
{
    for (const SCase& c : kCases) {
        for (int op = 0; op < OpCount; ++op) {
            if ((c.nOps & (1u << op)) != 0) {
                EXPECT_EQ(Check(c, static_cast<EOp>(op)), "") << c.pszName << " / " << kOpNames[op];
            }
        }
    }
}

}  // namespace
