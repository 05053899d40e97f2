#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

class HVUniqueFd;

// A folder of a run's selection, known by descriptor.
//
// A selected folder (or the folder of a selected file) is a root: it is opened once and kept
// open for the whole run. Every folder below it is named by its parent and its name, and
// reached again only from the parent's descriptor, one component at a time, never following a
// link; a folder that is no longer the one listed (device and inode) is a failure, never a
// reason to act on something else.
struct SRunFolder
{
    std::shared_ptr<SRunFolder> pParent;  // null for a root
    std::string strName;                  // one component (bytes); empty for a root
    std::string strPath;                  // full path for messages (bytes)
    std::uint64_t nDev = 0;
    std::uint64_t nIno = 0;
    std::shared_ptr<HVUniqueFd> pPinned;  // a root's descriptor, open for the whole run
};

// Opens one name inside a folder descriptor: openat2 with RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS
// where the kernel has it, else openat with O_NOFOLLOW. Returns the descriptor or -1 (errno).
[[nodiscard]] int HVOpenBeneath(int nDirFd, const std::string& strName, int nFlags);

// Keeps at most kMaxOpen folder descriptors open (besides the roots), the least recently used
// closed first; a descriptor handed out stays valid while the caller holds it.
class CRunFolderCache
{
public:
    static constexpr std::size_t kMaxOpen = 48;

    // The folder's descriptor, or null with a reason.
    [[nodiscard]] std::shared_ptr<HVUniqueFd> Open(const std::shared_ptr<SRunFolder>& pFolder, std::string& strWhy);
    // Hands a folder just opened (and checked) to the cache.
    void Put(const SRunFolder* pFolder, std::shared_ptr<HVUniqueFd> pFd);
    void Clear();

private:
    std::shared_ptr<HVUniqueFd> Find(const SRunFolder* pFolder);

    std::mutex m_mutex;
    std::list<std::pair<const SRunFolder*, std::shared_ptr<HVUniqueFd>>> m_lru;  // most recent first
    std::unordered_map<const SRunFolder*, decltype(m_lru)::iterator> m_index;
};

// Raises this process's soft limit of open descriptors to its hard limit (at most 65536): every
// selected folder of a run stays open for the run.
void HVRaiseOpenFileLimit();

// Opens a selected path as a root folder: the parent by its path as the user spelled it, the
// last component without following a link. Null with a reason when it is not a folder (a link
// to a folder is refused).
[[nodiscard]] std::shared_ptr<SRunFolder> HVOpenRootFolder(const std::string& strPath, std::string& strWhy);
