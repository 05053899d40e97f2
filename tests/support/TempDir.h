#pragma once

#include <string>

namespace hvtest {

// A fresh folder, removed with everything in it at the end (folders a test made unreadable or
// unwritable included).
class CTempDir
{
public:
    // strBase: where to make it; when that fails (no /dev/shm, say), /tmp.
    explicit CTempDir(const std::string& strBase = "/tmp");
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    [[nodiscard]] bool IsValid() const { return !m_strPath.empty(); }
    [[nodiscard]] const std::string& Path() const { return m_strPath; }
    [[nodiscard]] std::string operator/(const std::string& strName) const { return m_strPath + "/" + strName; }

private:
    std::string m_strPath;
};

// Removes a tree after giving its owner every right on its folders (empty path: nothing).
void RemoveTree(const std::string& strPath);

}  // namespace hvtest
