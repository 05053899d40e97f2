#pragma once

// Helpers of the fault-injection tests: a private temporary folder, file contents, listings,
// access checks without the superuser's override, and the cheap key derivation of the tests.
#include "engines/CEncryptManager.h"
#include "engines/HVTempNames.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#include "../engines/EncTestSupport.h"
#include "support/TempDir.h"

namespace faults {

// The engine tests' helpers: a cheap key derivation, patterned data, files and folders.
using enctest::Exists;
using enctest::kCheapMemKiB;
using enctest::kCheapPasses;
using enctest::List;
using enctest::Pattern;
using enctest::ReadFile;
inline constexpr const char16_t* kPassword = u"fault password";

// Fault tests work on a tmpfs where there is one: many small files and syncs stay quick.
class CTempDir : public hvtest::CTempDir
{
public:
    explicit CTempDir(const std::string& strBase = "/dev/shm")
        : hvtest::CTempDir(strBase)
    {
    }
};

using Bytes = hvtest::Bytes;
using hvtest::WriteFile;

// Names of the engines' own temporary files in a folder (outputs and files set aside for wiping).
inline std::vector<std::string> Temps(const std::string& dir)
{
    std::vector<std::string> out;
    for (const auto& n : List(dir)) {
        if (HVIsOwnTemporaryName(n)) {
            out.push_back(n);
        }
    }
    return out;
}

// The engine tests' cheap engine under the fault password.
class CCheapEngine : public enctest::CCheapEngine
{
public:
    explicit CCheapEngine(int nKeyLen = 32)
        : enctest::CCheapEngine(kPassword, nKeyLen)
    {
    }
};

// Whether an encrypted file opens (every chunk checked) to the expected plain text. An engine
// given by the caller keeps its derived keys from call to call.
inline bool OpensTo(CEncryptManager& em, const std::string& path, const Bytes& expected)
{
    std::vector<std::uint8_t> plain;
    return em.DecryptFileW(path, plain) == HVNC_OK && plain == expected;
}

inline bool OpensTo(const std::string& path, const Bytes& expected, std::u16string_view password = kPassword)
{
    CEncryptManager em;
    return em.EnablerEncryptionType(32, password) != 0 && OpensTo(em, path, expected);
}

// Takes away, for its lifetime, the capabilities that let the superuser ignore file modes, so
// that "permission denied" happens as it does for everybody else. Without them nothing changes.
class CNoDacOverride
{
public:
    CNoDacOverride()
    {
        if (::syscall(SYS_capget, &m_hdr, m_saved) != 0) {
            return;
        }
        __user_cap_data_struct data[2] = {m_saved[0], m_saved[1]};
        const std::uint32_t mask =
            (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER) | (1u << CAP_CHOWN);
        data[0].effective &= ~mask;
        m_bChanged = ::syscall(SYS_capset, &m_hdr, data) == 0;
    }
    ~CNoDacOverride()
    {
        if (m_bChanged) {
            (void)::syscall(SYS_capset, &m_hdr, m_saved);
        }
    }
    CNoDacOverride(const CNoDacOverride&) = delete;
    CNoDacOverride& operator=(const CNoDacOverride&) = delete;

    // Whether a file of mode 0 really cannot be read now.
    [[nodiscard]] static bool Effective(const std::string& dir)
    {
        const std::string probe = dir + "/.probe";
        (void)WriteFile(probe, {1});
        (void)::chmod(probe.c_str(), 0);
        const int fd = ::open(probe.c_str(), O_RDONLY | O_CLOEXEC);
        const bool bDenied = fd < 0;
        if (fd >= 0) {
            ::close(fd);
        }
        (void)::chmod(probe.c_str(), 0600);
        (void)::unlink(probe.c_str());
        return bDenied;
    }

private:
    __user_cap_header_struct m_hdr{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_bChanged = false;
};

}  // namespace faults
