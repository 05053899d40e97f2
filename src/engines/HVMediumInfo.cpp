#include "engines/HVMediumInfo.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace fs = std::filesystem;

namespace {

constexpr int kMaxDepth = 6;  // stacked devices and loop files nest; a loop to itself must end

struct SWeakFs
{
    std::uint64_t nType;
    const char* pszText;
};

constexpr SWeakFs kWeakFilesystems[] = {
    {0x9123683EU, "btrfs, a copy-on-write filesystem"},
    {0x2FC12FC1U, "zfs, a copy-on-write filesystem"},
    {0xCA451A4EU, "bcachefs, a copy-on-write filesystem"},
    {0xF2F52010U, "f2fs, a log-structured filesystem"},
    {0x3434U, "nilfs2, a log-structured filesystem"},
    {0x24051905U, "ubifs, a log-structured flash filesystem"},
    {0x72B6U, "jffs2, a log-structured flash filesystem"},
    {0x01021994U, "tmpfs, a memory filesystem whose pages may have been swapped out"},
    {0x858458F6U, "ramfs, a memory filesystem"},
    {0x6969U, "nfs, a network filesystem"},
    {0xFF534D42U, "cifs, a network filesystem"},
    {0xFE534D42U, "smb2, a network filesystem"},
    {0x517BU, "smb, a network filesystem"},
    {0x00C36400U, "ceph, a network filesystem"},
    {0x01021997U, "9p, a network filesystem"},
    {0x5346414FU, "afs, a network filesystem"},
    {0x794C7630U, "overlayfs, whose lower layer keeps the original"},
    {0x61756673U, "aufs, whose lower branches keep the original"},
    {0x65735546U, "a user-space (FUSE) filesystem"},
    {0xF15FU, "ecryptfs, a stacked filesystem"},
};

std::string ReadFirstLine(const fs::path& path)
{
    std::ifstream in(path);
    std::string line;
    if (in) {
        std::getline(in, line);
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

HVMediumInfo ProbePath(const std::string& strSysRoot, const std::string& strPath, int nDepth);

HVMediumInfo ProbeDeviceDir(const std::string& strSysRoot, fs::path dir, int nDepth)
{
    std::error_code ec;
    if (nDepth > kMaxDepth) {
        return {};
    }
    if (fs::exists(dir / "partition", ec)) {
        dir = dir.parent_path();  // a partition's folder sits inside its disk's folder
    }
    const std::string strName = dir.filename().string();
    if (ReadFirstLine(dir / "queue" / "rotational") == "0") {
        return {true,
                "the file is on " + strName
                    + ", a device that is not rotational (solid-state storage remaps writes to level wear)"};
    }
    for (fs::directory_iterator it(dir / "slaves", ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path slave = fs::canonical(it->path(), ec);
        if (ec) {
            ec.clear();
            continue;
        }
        HVMediumInfo info = ProbeDeviceDir(strSysRoot, slave, nDepth + 1);
        if (info.bWeak) {
            info.strReason = "the file is on " + strName + ", stacked on a weak part: " + info.strReason;
            return info;
        }
    }
    const std::string strBacking = ReadFirstLine(dir / "loop" / "backing_file");
    if (!strBacking.empty()) {
        HVMediumInfo info = ProbePath(strSysRoot, strBacking, nDepth + 1);
        if (info.bWeak) {
            info.strReason =
                "the file is on " + strName + ", a loop device backed by " + strBacking + ": " + info.strReason;
            return info;
        }
    }
    return {};
}

HVMediumInfo ProbeBlockDevice(const std::string& strSysRoot, unsigned nMajor, unsigned nMinor, int nDepth)
{
    std::error_code ec;
    const fs::path link =
        fs::path(strSysRoot) / "dev" / "block" / (std::to_string(nMajor) + ":" + std::to_string(nMinor));
    const fs::path dir = fs::canonical(link, ec);
    if (ec) {
        return {};  // unknown device: nothing to report
    }
    return ProbeDeviceDir(strSysRoot, dir, nDepth);
}

HVMediumInfo ProbeStats(const std::string& strSysRoot, const struct statfs& sfs, const struct stat& st, int nDepth)
{
    const std::string strFs = HVWeakFilesystem(static_cast<std::uint64_t>(sfs.f_type));
    if (!strFs.empty()) {
        return {true, "the file is on " + strFs};
    }
    if (major(st.st_dev) == 0) {
        return {};
    }
    return ProbeBlockDevice(strSysRoot, major(st.st_dev), minor(st.st_dev), nDepth);
}

HVMediumInfo ProbePath(const std::string& strSysRoot, const std::string& strPath, int nDepth)
{
    struct statfs sfs
    {
    };
    struct stat st
    {
    };
    if (nDepth > kMaxDepth || statfs(strPath.c_str(), &sfs) != 0 || stat(strPath.c_str(), &st) != 0) {
        return {};
    }
    return ProbeStats(strSysRoot, sfs, st, nDepth);
}

}  // namespace

std::string HVWeakFilesystem(std::uint64_t nFsType)
{
    for (const SWeakFs& weak : kWeakFilesystems) {
        if (weak.nType == (nFsType & 0xFFFFFFFFU)) {
            return weak.pszText;
        }
    }
    return {};
}

HVMediumInfo HVProbeBlockDevice(const std::string& strSysRoot, unsigned nMajor, unsigned nMinor)
{
    return ProbeBlockDevice(strSysRoot, nMajor, nMinor, 0);
}

HVMediumInfo HVProbeMedium(int fd)
{
    struct statfs sfs
    {
    };
    struct stat st
    {
    };
    if (fstatfs(fd, &sfs) != 0 || fstat(fd, &st) != 0) {
        return {};
    }
    return ProbeStats("/sys", sfs, st, 0);
}
