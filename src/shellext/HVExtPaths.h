#pragma once

#include <string>
#include <vector>

// Path helpers of the extension: the freedesktop base folders and text operations on POSIX
// paths, without Qt.
namespace HVExtPaths {

// $HOME, else the home folder of the user's account; empty when none is known.
[[nodiscard]] std::string Home();
// $XDG_CONFIG_HOME when absolute, else ~/.config; empty without a home folder.
[[nodiscard]] std::string ConfigHome();
// $XDG_DATA_HOME when absolute, else ~/.local/share; empty without a home folder.
[[nodiscard]] std::string DataHome();

// The value of a hexadecimal digit; -1 for any other character.
[[nodiscard]] int HexValue(char ch);
// The path with repeated and trailing slashes removed ("/" stays "/"); a relative path is
// taken from the current folder.
[[nodiscard]] std::string Normalize(const std::string& strPath);
// Text after the last "/" ("" for "/").
[[nodiscard]] std::string FileName(const std::string& strPath);
// Text before the last "/"; "/" for an item directly under the root and for the root itself.
[[nodiscard]] std::string FolderPart(const std::string& strPath);
// The local path of a "file://" URI (percent-decoded) or of an absolute path; empty for other
// URIs and for text that is neither.
[[nodiscard]] std::string LocalPathFromArgument(const std::string& strArg);

}  // namespace HVExtPaths
