#pragma once

#include <cstdint>
#include <string>

// Whether overwriting a file in place can be trusted to reach the storage that held its old
// content. It cannot on copy-on-write and log-structured filesystems (new data goes to new
// blocks), on network, memory, overlay and user-space filesystems (the blocks are out of our
// sight, or swapped, or a lower layer keeps the original) and on solid-state devices (wear
// levelling remaps writes).
struct HVMediumInfo
{
    bool bWeak = false;
    std::string strReason;  // empty when not weak
};

// Probes the filesystem and the backing block device of an open file.
[[nodiscard]] HVMediumInfo HVProbeMedium(int fd);

// Parts of the probe, open for tests.

// The name and kind of a filesystem type (statfs f_type) on which overwriting in place is weak,
// e.g. "btrfs (copy-on-write)"; empty for the others.
[[nodiscard]] std::string HVWeakFilesystem(std::uint64_t nFsType);

// Checks the block device nMajor:nMinor under a sysfs root ("/sys" normally): a partition is
// judged by its disk; a device that is not rotational is weak, and so is a stacked device (device
// mapper, RAID) any of whose parts is weak, and a loop device whose backing file is on a weak
// medium.
[[nodiscard]] HVMediumInfo HVProbeBlockDevice(const std::string& strSysRoot, unsigned nMajor, unsigned nMinor);
