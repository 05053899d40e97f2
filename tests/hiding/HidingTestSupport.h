#pragma once

#include "hiding/CHidingEngine.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "support/Files.h"
#include "support/Programs.h"
#include "support/TempDir.h"

using CHidingTestDir = hvtest::CTempDir;

using hvtest::Exists;
using hvtest::ReadText;

inline void WriteText(const std::string& strPath, const std::string& strText)
{
    ASSERT_TRUE(hvtest::WriteText(strPath, strText)) << strPath;
}

// Every name in a folder, dot files included (what "ls -a" shows, without "." and "..").
inline std::set<std::string> NamesIn(const std::string& strDir)
{
    const std::vector<std::string> names = hvtest::List(strDir);
    return {names.begin(), names.end()};
}

// A test folder with the items to hide in "items" and the engine's data folder below "data".
class CHidingFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_dir.Path().empty());
        ASSERT_EQ(::mkdir(m_strItems.c_str(), 0755), 0);
    }
    [[nodiscard]] SHidingOptions Options(bool bLink = false) const
    {
        SHidingOptions options;
        options.strBaseDir = m_strBase;
        options.bLinkInsteadOfNoReplace = bLink;
        return options;
    }
    [[nodiscard]] std::string Item(const std::string& strName) const { return m_strItems + "/" + strName; }
    // The hidden items' paths, in the list's order.
    [[nodiscard]] static std::vector<std::string> Listed(IHidingEngine& engine)
    {
        std::vector<std::string> paths;
        for (std::int32_t i = 0; i < engine.GetHiddenCount(); ++i) {
            paths.push_back(engine.GetHiddenItem(i));
        }
        return paths;
    }

    CHidingTestDir m_dir;
    std::string m_strBase = m_dir / "data/Halvo-Soft";
    std::string m_strItems = m_dir / "items";
};
