#pragma once

#include "engines/CSecureBuffer.h"

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <fstream>
#include <sodium.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace faults {

struct SMapping
{
    std::uintptr_t nStart = 0;
    std::uintptr_t nEnd = 0;
    std::string strLine;   // the mapping's first line
    std::string strPerms;  // "rw-p" and the like
    std::string strFlags;  // its "VmFlags:" line
};

// This process's mappings, from /proc/self/smaps.
inline std::vector<SMapping> Mappings()
{
    std::ifstream smaps("/proc/self/smaps");
    std::vector<SMapping> mappings;
    std::string line;
    while (std::getline(smaps, line)) {
        std::istringstream f(line);
        std::string first;
        std::string perms;
        f >> first >> perms;
        const auto dash = first.find('-');
        if (dash != std::string::npos && first.find(':') == std::string::npos && perms.size() == 4) {
            mappings.push_back({std::stoull(first.substr(0, dash), nullptr, 16),
                                std::stoull(first.substr(dash + 1), nullptr, 16),
                                line,
                                perms,
                                {}});
        } else if (first == "VmFlags:" && !mappings.empty()) {
            mappings.back().strFlags = line;
        }
    }
    return mappings;
}

// Where memory a core dump would hold (readable, not marked "dd" = MADV_DONTDUMP) contains the
// bytes of key: the mapping's line, or "" when nowhere. Read through /proc/self/mem, so freed or guarded heap is read
// safely; the needle itself sits in a secure buffer, which is not dumped.
inline std::string InDumpableMemory(const CSecureBuffer& key)
{
    const int fd = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    std::vector<std::uint8_t> buf(1 << 20);
    std::vector<SMapping> ranges;
    for (const SMapping& m : Mappings()) {
        if (m.strPerms[0] == 'r' && m.strLine.find("[vvar") == std::string::npos
            && m.strLine.find("[vsyscall]") == std::string::npos && !m.strFlags.empty()
            && m.strFlags.find(" dd") == std::string::npos) {
            ranges.push_back(m);
        }
    }
    std::string strFound;
    for (const SMapping& r : ranges) {
        for (std::uintptr_t p = r.nStart; p < r.nEnd && strFound.empty(); p += buf.size() - key.size()) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uintptr_t>(buf.size(), r.nEnd - p));
            const ssize_t got = ::pread(fd, buf.data(), n, static_cast<off_t>(p));
            for (ssize_t i = 0; i + static_cast<ssize_t>(key.size()) <= got && strFound.empty(); ++i) {
                if (std::equal(key.data(), key.data() + key.size(), buf.data() + i)) {
                    strFound = r.strLine;
                }
            }
        }
    }
    sodium_memzero(buf.data(), buf.size());
    ::close(fd);
    return strFound;
}

}  // namespace faults
