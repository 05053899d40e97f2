#pragma once

#include "engines/HVPendingRecords.h"

#include <string>

// One entry of a record as a line of text: kind, argument, folder device and inode, file inode,
// folder path and name in hexadecimal (names are bytes). Lines read back are hostile input.
namespace HVPendingRecords {

[[nodiscard]] std::string Line(const SEntry& e);
// False for a damaged line or one that names no single file in an absolute folder.
[[nodiscard]] bool Parse(const std::string& strLine, SEntry& e);

}  // namespace HVPendingRecords
