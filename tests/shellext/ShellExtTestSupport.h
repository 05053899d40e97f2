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

#include "support/Programs.h"
#include "support/TempDir.h"
#include "support/TempHome.h"

namespace fs = std::filesystem;

// Every test runs with HOME and the XDG folders in a fresh temporary folder.
class ShellExtTestEnv : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.IsValid());
        m_root = m_home.Root().toStdString();
        Set("XDG_CONFIG_DIRS", (m_root / "etc/xdg").string());
        Set("HV_SYSTEM_CONFIG_DIR", (m_root / "etc/xdg").string());
        m_work = m_root / "work";
        fs::create_directories(m_work);
    }

    // Folders a test made unreadable are removed too.
    void TearDown() override { hvtest::RemoveTree(m_root.string()); }

    static void Set(const char* pszName, const std::string& strValue) { ::setenv(pszName, strValue.c_str(), 1); }

    static void Touch(const fs::path& path, const std::string& strContent = {})
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << strContent;
    }

    static std::string ReadText(const fs::path& path) { return hvtest::ReadText(path.string()); }

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

    hvtest::CTempHome m_home;
    fs::path m_root;
    fs::path m_work;
};
