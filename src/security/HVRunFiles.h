#pragma once

#include <cstdint>
#include <optional>
#include <string>

// File-system questions of the encrypt, wipe and decrypt runner, in the platform's terms:
//   hidden     the name begins with "."
//   read-only  the owner has no write permission
//   system     the file is not owned by the current user
namespace HVRunFiles {

struct SAttributes
{
    bool bHidden = false;
    bool bReadOnly = false;
    bool bSystem = false;
};

// The attributes of a path (a link is looked at, not followed). False with a reason when they
// cannot be read.
[[nodiscard]] bool ReadAttributes(const std::string& strPath, SAttributes& attrs, std::string& strWhy);

// The same for the name strName inside the folder nDirFd.
[[nodiscard]] bool ReadAttributesAt(int nDirFd, const std::string& strName, SAttributes& attrs, std::string& strWhy);

// The folder that receives the output of an operation on strPath: its parent folder ("." for a
// bare name, "/" for a name in the root).
[[nodiscard]] std::string OutputFolder(const std::string& strPath);

// Free bytes that this user may write on the filesystem of strFolder (statvfs); nothing when
// the query fails.
[[nodiscard]] std::optional<std::uint64_t> FreeBytes(const std::string& strFolder);

// The same for the filesystem of an open folder.
[[nodiscard]] std::optional<std::uint64_t> FreeBytesAt(int nDirFd);

// True when the name ends in ".hvnc", regardless of case.
[[nodiscard]] bool HasHvncExtension(const std::string& strName);

}  // namespace HVRunFiles
