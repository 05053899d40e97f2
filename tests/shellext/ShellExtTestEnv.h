#pragma once

#include "shellext/CHVExtSettings.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

// Every test runs with HOME and the XDG folders in a fresh temporary folder.
class ShellExtTestEnv : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char szTemplate[] = "/tmp/hvext-test-XXXXXX";
        ASSERT_NE(::mkdtemp(szTemplate), nullptr);
        m_root = szTemplate;
        Set("HOME", (m_root / "home").string());
        Set("XDG_CONFIG_HOME", (m_root / "home/.config").string());
        Set("XDG_DATA_HOME", (m_root / "home/.local/share").string());
        Set("XDG_CONFIG_DIRS", (m_root / "etc/xdg").string());
        Set("HV_SYSTEM_CONFIG_DIR", (m_root / "etc/xdg").string());
        fs::create_directories(m_root / "home");
        m_work = m_root / "work";
        fs::create_directories(m_work);
    }

    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_root, fs::perms::owner_all, fs::perm_options::add, ec);
        for (auto it = fs::recursive_directory_iterator(m_root, ec); it != fs::recursive_directory_iterator();
             it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec)) {
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
            }
        }
        fs::remove_all(m_root, ec);
    }

    static void Set(const char* pszName, const std::string& strValue) { ::setenv(pszName, strValue.c_str(), 1); }

    static void Touch(const fs::path& path, const std::string& strContent = {})
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << strContent;
    }

    static std::string ReadText(const fs::path& path)
    {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    // The arguments the stub program recorded (NUL-separated), waiting for them to appear;
    // pstrSession receives the "sid=" line that follows them.
    static std::vector<std::string> WaitForRecord(const fs::path& path, std::string* pstrSession = nullptr)
    {
        for (int i = 0; i < 600 && !fs::exists(path); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::vector<std::string> args;
        const std::string strText = ReadText(path);
        std::size_t nStart = 0;
        for (std::size_t i = 0; i < strText.size(); ++i) {
            if (strText[i] == '\0') {
                args.push_back(strText.substr(nStart, i - nStart));
                nStart = i + 1;
            }
        }
        if (pstrSession != nullptr) {
            *pstrSession = strText.substr(nStart);
        }
        return args;
    }

    static CHVExtSettings Settings(int nPasswordType = 1, int nWipe = 0, int nDisableHide = 0, int nShell = 1)
    {
        CHVExtSettings settings;
        settings.m_nShlPasswordType = nPasswordType;
        settings.m_nShlEnableWipe = nWipe;
        settings.m_nDisableHide = nDisableHide;
        settings.m_nShlEnableShell = nShell;
        return settings;
    }

    fs::path m_root;
    fs::path m_work;
};
