#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

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

// Writes all of content to nFd; returns 0 or an errno (ENOSPC for a write that made no progress).
int WriteAll(int nFd, std::string_view content);

}  // namespace HVDurableFile
