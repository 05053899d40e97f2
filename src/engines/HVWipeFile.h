#pragma once

#include <string>
#include <sys/stat.h>

class HVFastRandom;

// Owns one file descriptor.
class HVUniqueFd
{
public:
    HVUniqueFd() = default;
    explicit HVUniqueFd(int fd)
        : m_fd(fd)
    {
    }
    ~HVUniqueFd() { Close(); }
    HVUniqueFd(HVUniqueFd&& other) noexcept
        : m_fd(other.m_fd)
    {
        other.m_fd = -1;
    }
    HVUniqueFd& operator=(HVUniqueFd&& other) noexcept;
    HVUniqueFd(const HVUniqueFd&) = delete;
    HVUniqueFd& operator=(const HVUniqueFd&) = delete;

    [[nodiscard]] int Get() const { return m_fd; }
    [[nodiscard]] bool IsValid() const { return m_fd >= 0; }
    int Close();  // 0 or the close error

private:
    int m_fd = -1;
};

// A regular file opened for overwriting.
struct HVWipeTarget
{
    HVUniqueFd fd;
    struct stat st
    {
    };                          // of the open file
    bool bModeChanged = false;  // the owner's write bit was added to open it; st has the old mode
};

// Opens strName inside the folder dirfd for writing. Never follows a symbolic link and opens
// nothing but a regular file. A file that the caller owns but may not write is given the owner's
// write bit first. Returns an EHvncResult, with a reason in strError on failure.
[[nodiscard]] int HVOpenWipeTarget(int dirfd, const std::string& strName, HVWipeTarget& target, std::string& strError);

// The EHvncResult of a failed call's errno.
[[nodiscard]] int HVWipeResultOfErrno(int nErr);

// Puts the mode back after a failed wipe of a file whose mode HVOpenWipeTarget changed.
void HVRestoreWipeTargetMode(HVWipeTarget& target);

// Ends the life of an overwritten file: truncates it to 0 and syncs it, renames it to a random name
// of the same length in the same folder (never replacing another name), syncs the folder, closes
// it, removes it and syncs the folder again. False with a reason in strError on failure.
[[nodiscard]] bool HVRemoveWipedFile(
    int dirfd, const std::string& strName, HVWipeTarget& target, HVFastRandom& rng, std::string& strError);
