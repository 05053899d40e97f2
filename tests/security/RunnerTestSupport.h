#pragma once

// Shared by the runner's tests: a temporary folder, file helpers, a scripted front end and the
// resource module of the build.
#include "engines/CEncryptManager.h"
#include "resources/CResourceModule.h"
#include "resources/HVResourceStrings.h"
#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"
#include "security/IProgrssManagerUi.h"

#include <QString>

#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/Answers.h"
#include "support/TempDir.h"
namespace runtest {

namespace fs = std::filesystem;

using CTempDir = hvtest::CTempDir;

inline std::string Content(std::size_t nSize, char cSeed)
{
    std::string s(nSize, '\0');
    for (std::size_t i = 0; i < nSize; ++i) {
        s[i] = static_cast<char>(cSeed + static_cast<char>(i * 7));
    }
    return s;
}

inline void WriteFile(const std::string& strPath, const std::string& strContent)
{
    fs::create_directories(fs::path(strPath).parent_path());
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out << strContent;
}

inline std::optional<std::string> ReadFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& strPath)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(strPath, ec));
}

// Names in a folder (not recursive), sorted.
inline std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline std::unique_ptr<CItemData> FileItem(const std::string& strPath)
{
    std::error_code ec;
    const auto nSize = fs::file_size(strPath, ec);
    return std::make_unique<CItemData>(QString::fromStdString(strPath), ec ? 0 : nSize, CItemData::KindFile);
}

inline std::unique_ptr<CItemData> FolderItem(const std::string& strPath)
{
    return std::make_unique<CItemData>(QString::fromStdString(strPath), 0, CItemData::KindFolder);
}

// Encrypts a file under a password with a separate engine (the run's own engine stays fresh).
inline bool EncryptWith(const std::string& strPath, const std::u16string& strPassword)
{
    CEncryptManager engine;
    return engine.EnablerEncryptionType(32, strPassword) == 1 && engine.EncryptFileW(strPath) != 0;
}

// Writes a file, encrypts it under the password and removes the plain file: only "<path>.hvnc"
// is left.
inline void WriteEncrypted(const std::string& strPath, const std::string& strContent, const std::u16string& strPassword)
{
    WriteFile(strPath, strContent);
    ASSERT_TRUE(EncryptWith(strPath, strPassword)) << strPath;
    fs::remove(strPath);
}

// Overwrites one byte, nBack bytes before the end of the file.
inline void DamageByte(const std::string& strPath, int nBack)
{
    std::fstream f(strPath, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(-nBack, std::ios::end);
    f.put('\x55');
}

// A cheap key derivation and the program's resource module, once per test program.
inline void LoadRunResources()
{
    CEncryptManager::SetDefaultKdfCost(64, 1);
    const QString bin = qEnvironmentVariable("HV_BUILD_BIN", QStringLiteral(HV_PROGRAM_DIR_FALLBACK));
    ASSERT_TRUE(CResourceModule::Instance().Load(bin + QStringLiteral("/HNVRes.rcc")));
}

// The options of an encryption and/or wipe run, and of a decryption run.
inline SRunOptions Secure(int bEncrypt, int iHidenType)
{
    SRunOptions o;
    o.m_nDecrypt = 0;
    o.m_bEncrypt = bEncrypt;
    o.m_iHidenType = iHidenType;
    return o;
}
inline SRunOptions Decrypt()
{
    SRunOptions o;
    o.m_nDecrypt = 1;
    return o;
}

// One run of a work on this thread with the items, the run's password and options; its result.
inline int RunOnce(CProgrssManagerWork& work,
                   std::vector<CItemData*> items,
                   const SRunOptions& options,
                   IProgrssManagerUi* pUi = nullptr,
                   const std::u16string& strPassword = u"pw")
{
    work.SetSelectedItems(items);
    work.SetPassword(CSecureBuffer::FromUtf16Units(strPassword));
    work.Initialise(options, pUi);
    return work.Run();
}

// A front end that records what the worker shows and answers from a script.
class CScriptedUi : public IProgrssManagerUi
{
public:
    struct SQuestion
    {
        EAttribute eKind;
        QString strText;
    };
    struct SAnswer
    {
        bool bYes;
        bool bApplyToAll;
    };

    void SetStatusText(const QString& strText) override
    {
        std::lock_guard lock(m_mutex);
        m_statuses.push_back(strText);
    }
    void SetProgress(double dCurrent, double dOverall) override
    {
        {
            std::lock_guard lock(m_mutex);
            m_progress.emplace_back(dCurrent, dOverall);
        }
        if (m_onProgress) {
            m_onProgress(dCurrent, dOverall);
        }
    }
    bool AskAttribute(EAttribute eKind, const QString& strMessage, bool& bApplyToAll) override
    {
        std::lock_guard lock(m_mutex);
        m_questions.push_back({eKind, strMessage});
        const SAnswer a = hvtest::Next(m_answers, SAnswer{false, bApplyToAll});
        bApplyToAll = a.bApplyToAll;
        return a.bYes;
    }
    bool EnterPassword(const QString& strPath, CSecureBuffer& utf16) override
    {
        std::lock_guard lock(m_mutex);
        m_prompts.push_back(strPath);
        const std::optional<std::u16string> strAnswer = hvtest::Next(m_passwords);
        if (strAnswer) {
            utf16 = CSecureBuffer::FromUtf16Units(*strAnswer);
        }
        return strAnswer.has_value();
    }
    void ShowMessage(const QString& strText) override
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(strText);
    }
    void RunEnded(EEnd eEnd) override
    {
        std::lock_guard lock(m_mutex);
        m_ends.push_back(eEnd);
    }

    // What is wrong with the bars: a value outside 0..100 (or not a number), or an overall bar
    // that did not end full. Empty when nothing is.
    std::string ProgressFault() const
    {
        if (m_progress.empty() || !(std::abs(m_progress.back().second - 100.0) < 1e-9)) {
            return "the overall bar does not end at 100";
        }
        for (const auto& [dCur, dAll] : m_progress) {
            if (!(dCur >= 0.0 && dCur <= 100.0 && dAll >= 0.0 && dAll <= 100.0)) {
                return "a bar at " + std::to_string(dCur) + " / " + std::to_string(dAll);
            }
        }
        return {};
    }

    std::mutex m_mutex;
    std::vector<QString> m_statuses;
    std::vector<std::pair<double, double>> m_progress;
    std::vector<SQuestion> m_questions;
    std::deque<SAnswer> m_answers;  // none left: "no"
    std::vector<QString> m_prompts;
    std::deque<std::optional<std::u16string>> m_passwords;  // nullopt or none left: refused
    std::vector<QString> m_messages;
    std::vector<EEnd> m_ends;
    std::function<void(double, double)> m_onProgress;
};

// Each test: a cheap key derivation and the program's resource module.
class RunnerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { LoadRunResources(); }

    // Runs the work on this thread with the given items and options.
    void RunWork(const std::vector<CItemData*>& items,
                 const SRunOptions& options,
                 const QString& strPassword = QStringLiteral("pw"))
    {
        m_work.SetSelectedItems(items);
        m_work.SetPassword(CSecureBuffer::FromUtf16Units(strPassword.toStdU16String()));
        m_work.SetMasterPassword(CSecureBuffer::FromUtf16Units(m_strMaster.toStdU16String()));
        m_work.Initialise(options, &m_ui);
        EXPECT_TRUE(m_work.BusySignal().IsSet());
        EXPECT_EQ(m_work.Run(), 0);
        EXPECT_FALSE(m_work.BusySignal().IsSet());
        ASSERT_EQ(m_ui.m_ends.size(), 1u);
    }

    CTempDir m_dir;
    CScriptedUi m_ui;
    CProgrssManagerWork m_work;
    QString m_strMaster = QStringLiteral("master");
};

}  // namespace runtest
