#pragma once

#include <string>

// Path text helpers of the hiding engine (POSIX paths, no trailing separators).
namespace HidingPaths {

// Absolute form of a path: relative paths are taken from the working folder, empty and "."
// components and trailing separators dropped. A path with ".." is resolved through the real
// folders (symbolic links) the way the kernel would. Empty when the path is empty or cannot be
// resolved.
[[nodiscard]] std::string Clean(const std::string& strPath);
// The folder part of a clean path ("/" for "/x"), and the last component.
[[nodiscard]] std::string ParentOf(const std::string& strClean);
[[nodiscard]] std::string NameOf(const std::string& strClean);
// The clean path with every folder above the last component resolved (the last component is
// not followed, so a link is itself). Empty when a folder cannot be resolved.
[[nodiscard]] std::string RealForm(const std::string& strClean);
// strPath equals strDir or lies below it.
[[nodiscard]] bool IsSameOrInside(const std::string& strPath, const std::string& strDir);
// Joins a folder and a name.
[[nodiscard]] std::string Join(const std::string& strDir, const std::string& strName);

}  // namespace HidingPaths
