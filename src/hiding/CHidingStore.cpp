#include "hiding/CHidingStore.h"

#include "hiding/HidingFs.h"
#include "hiding/HidingPaths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <unistd.h>

namespace {

bool MovesToVault(EMoveKind kind)
{
    return kind == EMoveKind::HideNew || kind == EMoveKind::MoveIn;
}

}  // namespace

CHidingStore::CHidingStore(const std::string& strBaseDir,
                           const std::string& strMountVaultName,
                           HidingFaultHook hook,
                           bool bLinkInsteadOfNoReplace)
    : m_strBaseDir(strBaseDir)
    , m_strListFile(strBaseDir + "/hidden.lst")
    , m_strLockFile(strBaseDir + "/hidden.lck")
    , m_list(m_strListFile)
    , m_vaults(strBaseDir + "/vault", strMountVaultName)
    , m_mover(hook, bLinkInsteadOfNoReplace)
    , m_hook(std::move(hook))
{
}

CHidingStore::~CHidingStore()
{
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
    }
}

CHidingStore::CSession::CSession(CHidingStore& store)
    : m_store(store)
{
    m_bLocked = store.Lock();
    if (!m_bLocked) {
        return;
    }
    std::string strError;
    if (!store.m_bOpen) {
        store.m_bOpen = store.Open();
        m_bOk = store.m_bOpen;
    } else if (!store.m_list.Sync(strError)) {
        store.m_bOpen = false;
        m_bOk = store.Fail(strError);
    } else {
        m_bOk = true;
    }
    m_bOk = m_bOk && store.SettlePending();
    if (m_bOk && !store.m_list.CompactIfLarge(store.m_hook, strError)) {
        // The journal only stays longer than needed; the next session tries again.
        store.m_strError = strError;
    }
}

CHidingStore::CSession::~CSession()
{
    if (m_bLocked) {
        m_store.Unlock();
    }
}

bool CHidingStore::Fail(std::string strError)
{
    m_strError = std::move(strError);
    return false;
}

bool CHidingStore::Lock()
{
    if (m_lockFd < 0) {
        if (m_strBaseDir.empty() || m_strBaseDir[0] != '/') {
            return Fail("no usable data folder for the hidden list");
        }
        if (!HidingFs::MakeDirs(m_strBaseDir)) {
            return Fail(HidingFs::ErrnoText("cannot create the data folder " + m_strBaseDir));
        }
        m_lockFd = ::open(m_strLockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_lockFd < 0) {
            return Fail(HidingFs::ErrnoText("cannot open the lock file " + m_strLockFile));
        }
    }
    while (::flock(m_lockFd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            return Fail(HidingFs::ErrnoText("cannot lock " + m_strLockFile));
        }
    }
    return true;
}

void CHidingStore::Unlock()
{
    ::flock(m_lockFd, LOCK_UN);
}

bool CHidingStore::Open()
{
    std::string strError;
    if (!m_vaults.Prepare(strError) || !m_list.Load(strError)) {
        return Fail(strError);
    }
    ::unlink((m_strListFile + ".tmp").c_str());  // a rewrite that a killed process left unfinished
    return true;
}

bool CHidingStore::SettlePending()
{
    if (!m_list.Pending()) {
        return true;
    }
    const SListRecord pending = *m_list.Pending();
    const bool bToVault = MovesToVault(pending.kind);
    const std::string strSrc = bToVault ? pending.entry.path : pending.entry.VaultPath();
    const std::string strDst = bToVault ? pending.entry.VaultPath() : pending.entry.path;
    const auto eWhere = m_mover.Settle(strSrc, strDst, pending.dev, pending.ino, pending.mode);
    // An item gone from both places can no longer be shown: it leaves the list.
    const bool bCommit =
        eWhere == CHidingMover::EWhere::AtDestination || (eWhere == CHidingMover::EWhere::Gone && !bToVault);
    SListRecord record;
    record.type = bCommit ? EListRecord::Commit : EListRecord::Abort;
    record.entry.id = pending.entry.id;
    std::string strError;
    return m_list.Append(record, true, strError) || Fail(strError);
}

std::string CHidingStore::NewVaultName(std::uint64_t id)
{
    std::uint64_t nRandom = 0;
    if (::getrandom(&nRandom, sizeof nRandom, 0) != static_cast<ssize_t>(sizeof nRandom)) {
        nRandom = static_cast<std::uint64_t>(std::time(nullptr)) ^ (static_cast<std::uint64_t>(::getpid()) << 32);
    }
    char buf[40];
    std::snprintf(buf,
                  sizeof buf,
                  "%016llx-%016llx",
                  static_cast<unsigned long long>(id),
                  static_cast<unsigned long long>(nRandom));
    return buf;
}

int CHidingStore::RunMove(EMoveKind kind, const SHiddenEntry& entry, const struct stat& st)
{
    std::string strError;
    SListRecord record;
    record.type = EListRecord::Begin;
    record.kind = kind;
    record.dev = st.st_dev;
    record.ino = st.st_ino;
    record.mode = st.st_mode;
    record.entry = entry;
    record.entry.dev = st.st_dev;
    record.entry.ino = st.st_ino;
    // The one sync of a move: the journal must know of it before the rename can reach the disk.
    // The rename itself and the commit become durable with the next sync; until then a crash of
    // the machine is settled from the journal, and a rename lost after a commit is recognised
    // by the item's identity (see IsBackInPlace).
    if (!m_list.Append(record, true, strError)) {
        (void)Fail(strError);
        return EIO;
    }
    m_mover.Step("begin");
    const bool bToVault = MovesToVault(kind);
    const std::string strSrc = bToVault ? entry.path : entry.VaultPath();
    const std::string strDst = bToVault ? entry.VaultPath() : entry.path;
    record = SListRecord{};
    record.entry.id = entry.id;
    const int nErr = m_mover.Move(strSrc, strDst, st);
    if (nErr != 0) {
        record.type = EListRecord::Abort;
        (void)m_list.Append(record, false, strError);  // else the next session settles it
        (void)Fail(std::string(nErr == EEXIST ? "something else occupies " : "cannot move to ") + strDst + ": "
                   + std::strerror(nErr));
        return nErr;
    }
    m_mover.Step("moved");
    record.type = EListRecord::Commit;
    if (!m_list.Append(record, false, strError)) {
        // Not recorded: put the item back, so that the answer "failed" is the truth.
        struct stat stNow = {};
        if (::lstat(strDst.c_str(), &stNow) == 0 && m_mover.Move(strDst, strSrc, stNow) == 0) {
            record.type = EListRecord::Abort;
            (void)m_list.Append(record, false, strError);
        }
        (void)Fail(strError);
        return EIO;
    }
    m_mover.Step("committed");
    return 0;
}

bool CHidingStore::ToVault(EMoveKind kind, SHiddenEntry entry)
{
    struct stat st = {};
    if (::lstat(entry.path.c_str(), &st) != 0) {
        return Fail(HidingFs::ErrnoText("cannot find " + entry.path));
    }
    // Only the item that was hidden goes back into the vault, never what now stands at its path.
    if (kind == EMoveKind::MoveIn && !IsSameItem(entry, st)) {
        return Fail("not the item that was hidden (another file or folder now stands there): " + entry.path);
    }
    const std::string strParent = HidingPaths::ParentOf(HidingPaths::RealForm(entry.path));
    struct stat stParent = {};
    if (::stat(strParent.c_str(), &stParent) != 0) {
        return Fail(HidingFs::ErrnoText("cannot examine the folder " + strParent));
    }
    if (stParent.st_dev != st.st_dev) {
        return Fail("a mount point cannot be hidden: " + entry.path);
    }
    bool bAllowHome = true;
    for (;;) {
        std::string strError;
        entry.vaultDir = m_vaults.VaultFor(strParent, st.st_dev, bAllowHome, strError);
        if (entry.vaultDir.empty()) {
            return Fail(strError);
        }
        entry.vaultName = NewVaultName(entry.id);
        const int nErr = RunMove(kind, entry, st);
        if (nErr == EXDEV && bAllowHome) {
            bAllowHome = false;  // same filesystem seen through another mount: use that mount's vault
            continue;
        }
        return nErr == 0;
    }
}

bool CHidingStore::HideNew(const std::string& strClean)
{
    SHiddenEntry entry;
    entry.id = m_list.NewId();
    entry.path = strClean;
    return ToVault(EMoveKind::HideNew, entry);
}

bool CHidingStore::MoveIn(std::uint64_t id)
{
    const SHiddenEntry* pEntry = m_list.Find(id);
    if (pEntry == nullptr) {
        return Fail("no such hidden item");
    }
    return pEntry->inVault || ToVault(EMoveKind::MoveIn, *pEntry);
}

bool CHidingStore::IsBackInPlace(const SHiddenEntry& entry)
{
    struct stat st = {};
    return entry.ino != 0 && ::lstat(entry.path.c_str(), &st) == 0 && st.st_dev == entry.dev && st.st_ino == entry.ino;
}

bool CHidingStore::MoveOut(std::uint64_t id)
{
    const SHiddenEntry* pEntry = m_list.Find(id);
    if (pEntry == nullptr) {
        return Fail("no such hidden item");
    }
    if (!pEntry->inVault) {
        return true;
    }
    const SHiddenEntry entry = *pEntry;
    struct stat st = {};
    if (::lstat(entry.VaultPath().c_str(), &st) != 0) {
        if (IsBackInPlace(entry)) {
            SListRecord record;
            record.type = EListRecord::Entry;
            record.entry = entry;
            record.entry.inVault = false;
            std::string strError;
            return m_list.Append(record, true, strError) || Fail(strError);
        }
        return Fail(HidingFs::ErrnoText("the hidden item is not in its vault " + entry.VaultPath()));
    }
    return RunMove(EMoveKind::MoveOut, entry, st) == 0;
}

bool CHidingStore::Unhide(std::uint64_t id)
{
    const SHiddenEntry* pEntry = m_list.Find(id);
    if (pEntry == nullptr) {
        return Fail("no such hidden item");
    }
    const SHiddenEntry entry = *pEntry;
    std::string strError;
    struct stat st = {};
    const bool bInVault = entry.inVault && ::lstat(entry.VaultPath().c_str(), &st) == 0;
    if (!entry.inVault || (!bInVault && IsBackInPlace(entry))) {
        return Forget(id);
    }
    if (!bInVault) {
        return Fail(HidingFs::ErrnoText("the hidden item is not in its vault " + entry.VaultPath()));
    }
    return RunMove(EMoveKind::Unhide, entry, st) == 0;
}
