#pragma once

#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <sys/stat.h>

// A temporary folder for one test, removed with everything in it at the end.
class CHidingTestDir
{
public:
    CHidingTestDir()
    {
        std::string strTemplate = (std::filesystem::temp_directory_path() / "hvhide-XXXXXX").string();
        m_strPath = ::mkdtemp(strTemplate.data()) != nullptr ? strTemplate : std::string();
    }
    ~CHidingTestDir()
    {
        std::error_code ec;
        if (!m_strPath.empty()) {
            // Folders made read-only by a test must be writable again to be removed.
            for (auto it = std::filesystem::recursive_directory_iterator(m_strPath, ec);
                 it != std::filesystem::recursive_directory_iterator();
                 it.increment(ec)) {
                if (it->is_directory(ec) && !it->is_symlink(ec)) {
                    std::filesystem::permissions(
                        it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
                }
            }
            std::filesystem::remove_all(m_strPath, ec);
        }
    }
    CHidingTestDir(const CHidingTestDir&) = delete;
    CHidingTestDir& operator=(const CHidingTestDir&) = delete;

    [[nodiscard]] const std::string& Path() const { return m_strPath; }
    [[nodiscard]] std::string operator/(const std::string& strName) const { return m_strPath + "/" + strName; }

private:
    std::string m_strPath;
};

inline void WriteText(const std::string& strPath, const std::string& strText)
{
    std::ofstream(strPath, std::ios::binary | std::ios::trunc) << strText;
}

inline std::string ReadText(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
