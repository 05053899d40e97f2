#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <sys/uio.h>

// Replacing a file so that a reader, a crash or a full disk never leaves part of it: the content
// goes into a temporary file in the target's own folder, is synced, renamed over the target, and
// the folder is synced. On any failure the temporary is removed and the target is untouched.
// Plain C++, for the layers without Qt Gui (QSaveFile does the same where Qt is at hand).
namespace HVDurableFile {

// How the new file gets nMode.
enum class EModes
{
    Required,    // set exactly; a failure to set them fails the write
    BestEffort,  // set exactly where the file system keeps modes
    Umask,       // created with nMode under the process's umask, as open(2) does
};

struct SOptions
{
    mode_t nMode = 0600;  // the new file's modes
    EModes eModes = EModes::Required;
    // A fixed temporary name in the folder (one that a later start removes when a crash left it);
    // "" for a fresh ".<name>.<token>" made with O_EXCL. Either is opened with O_NOFOLLOW.
    std::string strTempName;
    bool bDataSyncOnly = false;  // fdatasync instead of fsync (the metadata need not be durable)
    // Called with "written" after the content is synced and "renamed" after the rename.
    std::function<void(const char* pszStep)> hook;
};

// Writes what fill puts into the open temporary file (fill returns 0 or an errno) in the folder
// nDirFd as strName. Returns 0 or the errno of the step that failed.
int WriteAt(int nDirFd, const std::string& strName, const std::function<int(int nFd)>& fill, const SOptions& opt);

// The same for a path and a content.
int Write(const std::string& strPath, std::string_view content, const SOptions& opt);

// The steps every durable write of the program is made of (this helper's and the encryption
// engine's outputs alike).

// Writes all of content (all iovecs) to nFd, retrying interrupted and partial writes; returns 0 or
// an errno (ENOSPC for a write that made no progress).
int WriteAll(int nFd, std::string_view content);
int WriteAllV(int nFd, const iovec* pIov, int nIov);

// Reads until nLen bytes (the iovecs are full) or the end of the file, retrying interrupted
// reads; returns the count, or -1 on error.
ssize_t ReadFull(int nFd, void* pData, std::size_t nLen);
ssize_t ReadFullV(int nFd, iovec* pIov, int nIov);

// fsync (fdatasync with bDataOnly) of a file; 0 or an errno.
int SyncFile(int nFd, bool bDataOnly = false);
// fsync of a folder, so that a name made or removed in it lasts. True also where the file system
// cannot sync folders (EINVAL, EROFS).
bool SyncDir(int nDirFd);

// Creates a new file in nDirFd (O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | nFlags, mode nMode)
// under the names nextName gives, trying another while a name is taken (at most 100). nextName
// sets the name and returns 0, or returns an errno to give up. Returns the descriptor with
// strTemp its name, or -errno (-EEXIST when no name was free).
int CreateExclusiveAt(int nDirFd,
                      int nFlags,
                      mode_t nMode,
                      const std::function<int(std::string& strName)>& nextName,
                      std::string& strTemp);
// Removes the temporary strTemp in nDirFd, if it has a name, and forgets the name.
void RemoveTemp(int nDirFd, std::string& strTemp);

// A random text of nLen characters of the given alphabet, or "" when the system's generator fails.
std::string RandomToken(std::size_t nLen, std::string_view alphabet);

}  // namespace HVDurableFile
