#include "support/Files.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace hvtest {

bool WriteFile(const std::string& strPath, const Bytes& data)
{
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out);
}

bool WriteText(const std::string& strPath, const std::string& strText)
{
    return WriteFile(strPath, Bytes(strText.begin(), strText.end()));
}

Bytes Scrambled(std::size_t n, std::uint32_t nState)
{
    Bytes v(n);
    for (auto& b : v) {
        nState = nState * 1664525U + 1013904223U;
        b = static_cast<std::uint8_t>(nState >> 24);
    }
    return v;
}

Bytes ReadFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Exists(const std::string& strPath)
{
    struct stat st = {};
    return ::lstat(strPath.c_str(), &st) == 0;
}

int ModeOf(const std::string& strPath)
{
    struct stat st = {};
    return ::stat(strPath.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

std::vector<std::string> List(const std::string& strDir)
{
    std::vector<std::string> names;
    if (DIR* pDir = ::opendir(strDir.c_str()); pDir != nullptr) {
        while (const dirent* pEntry = ::readdir(pDir)) {
            const std::string strName = pEntry->d_name;
            if (strName != "." && strName != "..") {
                names.push_back(strName);
            }
        }
        ::closedir(pDir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace hvtest
