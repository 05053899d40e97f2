#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace hvtest {

CTempDir::CTempDir(const std::string& strBase)
{
    for (const std::string& strDir : {strBase, std::string("/tmp")}) {
        std::string strTemplate = strDir + "/hv-test-XXXXXX";
        if (::mkdtemp(strTemplate.data()) != nullptr) {
            m_strPath = strTemplate;
            return;
        }
    }
}

CTempDir::~CTempDir()
{
    RemoveTree(m_strPath);
}

void RemoveTree(const std::string& strPath)
{
    if (strPath.empty()) {
        return;
    }
    std::error_code ec;
    fs::permissions(strPath, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(strPath, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::remove_all(strPath, ec);
}

}  // namespace hvtest
