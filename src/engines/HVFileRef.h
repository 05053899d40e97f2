#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <sys/stat.h>

// One file the caller selected, named relative to a folder the caller holds open.
//
// The engines act on "the file called strName inside the folder nDirFd" and never re-resolve a
// path string: the folder descriptor was reached from the user's selection without following links
// (openat with O_NOFOLLOW per component, or openat2 with RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS).
// strName is one name component (raw bytes, no '/', not "." or ".."). The engine opens it with
// O_NOFOLLOW, takes only a regular file, and, when bCheckIdentity is set, fails with
// HVNC_CHANGED unless the opened file is the one the caller listed (device and inode).
// With bCheckUnchanged also set, size and modification/change times must match too (the wipe of a
// source after its encryption uses this: a file edited after it was read is never wiped).
struct SHVFileRef
{
    int nDirFd = -1;         // folder descriptor, not owned by this struct
    std::string strName;     // one name component, bytes as on disk
    std::string strDisplay;  // the full path for messages and logs (may not be valid UTF-8)

    // Encryption: the mode to keep in the encrypted file when the caller changed the file's mode
    // for processing (e.g. added the write bit); -1: the mode the file has.
    int nOriginalMode = -1;

    bool bCheckIdentity = false;
    std::uint64_t nDev = 0;
    std::uint64_t nIno = 0;

    bool bCheckUnchanged = false;
    std::uint64_t nSize = 0;
    std::int64_t nMtimeNs = 0;
    std::int64_t nCtimeNs = 0;
};

// A file time in nanoseconds, as SHVFileRef carries it.
[[nodiscard]] inline std::int64_t HVTimeNs(const timespec& ts)
{
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Records in ref what a listing saw of the file: its identity, and with bUnchanged also its size
// and times, all to be checked again right before the engine acts.
inline void HVSetListed(SHVFileRef& ref, const struct stat& st, bool bUnchanged)
{
    ref.bCheckIdentity = true;
    ref.nDev = static_cast<std::uint64_t>(st.st_dev);
    ref.nIno = static_cast<std::uint64_t>(st.st_ino);
    ref.bCheckUnchanged = bUnchanged;
    ref.nSize = static_cast<std::uint64_t>(st.st_size);
    ref.nMtimeNs = HVTimeNs(st.st_mtim);
    ref.nCtimeNs = HVTimeNs(st.st_ctim);
}
