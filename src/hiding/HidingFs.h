#pragma once

#include <string>
#include <sys/types.h>

// Small POSIX helpers of the hiding engine. Every function reports failure by its result and
// leaves errno set.
namespace HidingFs {

// Writes all of text at offset, retrying after interruptions and short writes.
[[nodiscard]] bool WriteAllAt(int fd, const std::string& text, off_t nOffset);
// Reads nSize bytes at offset.
[[nodiscard]] bool ReadAllAt(int fd, std::string& out, off_t nOffset, std::size_t nSize);
// Makes a folder's entries (renames, new names) durable.
[[nodiscard]] bool SyncDir(const std::string& strDir);
// Creates the folder and any missing parents with mode 0700; existing folders are left as they are.
[[nodiscard]] bool MakeDirs(const std::string& strDir);
// "<what>: <strerror(errno)>"
[[nodiscard]] std::string ErrnoText(const std::string& strWhat);

}  // namespace HidingFs
