#pragma once

#include "security/CRunFolder.h"

#include <cstdint>
#include <memory>
#include <string>

// What the listing of a run knows of one file, so that every later step acts on that same
// object: its folder (by descriptor), its name (bytes), and its identity and state when listed.
struct SRunFile
{
    std::shared_ptr<SRunFolder> pFolder;
    std::string strName;  // one component, bytes as on disk
    std::string strPath;  // full path for messages and logs (bytes)

    // The file's identity, size and times when listed (for a selected link: its target's).
    std::uint64_t nDev = 0;
    std::uint64_t nIno = 0;
    std::uint64_t nSize = 0;
    std::int64_t nMtimeNs = 0;
    std::int64_t nCtimeNs = 0;

    // A selected symbolic link to a regular file: its target is encrypted, the link (known by
    // its own identity) is what a later wipe removes.
    bool bLink = false;
    std::uint64_t nLinkDev = 0;
    std::uint64_t nLinkIno = 0;
};
