#include "hiding/CHidingVaults.h"

#include "hiding/HidingFs.h"
#include "hiding/HidingPaths.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Mount points are written with octal escapes for blanks, tabs, newlines and backslashes.
std::string Unescape(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const std::string oct = text.substr(i + 1, 3);
            if (oct.size() == 3 && std::all_of(oct.begin(), oct.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out.push_back(static_cast<char>(std::stoi(oct, nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

std::vector<std::string> MountPoints()
{
    std::vector<std::string> points;
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string field;
        for (int i = 0; i < 5 && fields >> field; ++i) {
            if (i == 4) {
                points.push_back(Unescape(field));
            }
        }
    }
    return points;
}

}  // namespace

CHidingVaults::CHidingVaults(std::string strHomeVault, std::string strMountVaultName)
    : m_strHomeVault(std::move(strHomeVault))
    , m_strMountVaultName(std::move(strMountVaultName))
{
}

bool CHidingVaults::EnsurePrivateDir(const std::string& strDir, std::string& strError)
{
    if (::mkdir(strDir.c_str(), 0700) != 0 && errno != EEXIST) {
        strError = HidingFs::ErrnoText("cannot create the vault " + strDir);
        return false;
    }
    struct stat st = {};
    if (::lstat(strDir.c_str(), &st) != 0) {
        strError = HidingFs::ErrnoText("cannot examine the vault " + strDir);
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        strError = "the vault is not a folder of this user: " + strDir;
        return false;
    }
    if ((st.st_mode & 07777) != 0700 && ::chmod(strDir.c_str(), 0700) != 0) {
        strError = HidingFs::ErrnoText("cannot make the vault private " + strDir);
        return false;
    }
    return true;
}

bool CHidingVaults::Prepare(std::string& strError)
{
    if (!HidingFs::MakeDirs(HidingPaths::ParentOf(m_strHomeVault))) {
        strError = HidingFs::ErrnoText("cannot create the data folder " + HidingPaths::ParentOf(m_strHomeVault));
        return false;
    }
    if (!EnsurePrivateDir(m_strHomeVault, strError)) {
        return false;
    }
    const std::string strReal = HidingPaths::RealForm(m_strHomeVault);
    struct stat st = {};
    if (strReal.empty() || ::stat(strReal.c_str(), &st) != 0) {
        strError = HidingFs::ErrnoText("cannot resolve the vault " + m_strHomeVault);
        return false;
    }
    m_strHomeVault = strReal;
    m_homeDev = st.st_dev;
    return true;
}

std::string CHidingVaults::MountTopOf(const std::string& strRealPath, dev_t dev)
{
    std::vector<std::string> points = MountPoints();
    std::sort(points.begin(), points.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    for (const auto& point : points) {
        struct stat st = {};
        if (HidingPaths::IsSameOrInside(strRealPath, point) && ::stat(point.c_str(), &st) == 0 && st.st_dev == dev) {
            return point;
        }
    }
    // No mount table: climb while the parent is still on the same filesystem.
    std::string strTop = strRealPath;
    while (strTop != "/") {
        const std::string strUp = HidingPaths::ParentOf(strTop);
        struct stat st = {};
        if (::stat(strUp.c_str(), &st) != 0 || st.st_dev != dev) {
            break;
        }
        strTop = strUp;
    }
    return strTop;
}

std::string CHidingVaults::VaultFor(const std::string& strRealParent, dev_t dev, bool bAllowHome, std::string& strError)
{
    if (bAllowHome && dev == m_homeDev) {
        return m_strHomeVault;
    }
    const std::string strVault = HidingPaths::Join(MountTopOf(strRealParent, dev), m_strMountVaultName);
    if (!EnsurePrivateDir(strVault, strError)) {
        return {};
    }
    struct stat st = {};
    if (::stat(strVault.c_str(), &st) != 0 || st.st_dev != dev) {
        strError = "the vault is not on the item's filesystem: " + strVault;
        return {};
    }
    return strVault;
}
