#pragma once

#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <sys/stat.h>

#include "support/Programs.h"
#include "support/TempDir.h"

using CHidingTestDir = hvtest::CTempDir;

inline void WriteText(const std::string& strPath, const std::string& strText)
{
    std::ofstream(strPath, std::ios::binary | std::ios::trunc) << strText;
}

using hvtest::ReadText;

inline bool Exists(const std::string& strPath)
{
    struct stat st = {};
    return ::lstat(strPath.c_str(), &st) == 0;
}

// Every name in a folder, dot files included (what "ls -a" shows, without "." and "..").
inline std::set<std::string> NamesIn(const std::string& strDir)
{
    std::set<std::string> names;
    if (DIR* pDir = ::opendir(strDir.c_str()); pDir != nullptr) {
        while (const dirent* pEntry = ::readdir(pDir)) {
            const std::string strName = pEntry->d_name;
            if (strName != "." && strName != "..") {
                names.insert(strName);
            }
        }
        ::closedir(pDir);
    }
    return names;
}
