#include "engines/CEncryptManager.h"
#include "logging/CHVFuncLog.h"
#include "logging/CHVLog.h"

#include <gtest/gtest.h>

#include "LogTestSupport.h"

namespace {

const std::u16string kPassword = u"Kr\u00e4he-73-Tintenfass";
const std::string kPasswordUtf8 = "Kr\xc3\xa4he-73-Tintenfass";

std::string Utf16Le(const std::u16string& str)
{
    std::string bytes;
    for (char16_t c : str) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// Logs an engine result the way the runners do: operation, file and the engine's reason.
void LogResult(const char* pszWhat, const std::string& strPath, const CEncryptManager& engine, int nResult)
{
    HV_FUNC_LOG();
    LOGGER::g_HVLog.Log("%s %s: result %d (%d) %s",
                        pszWhat,
                        strPath.c_str(),
                        nResult,
                        engine.GetLastResult(),
                        engine.GetLastError().c_str());
    LOGGER::g_HVLog.WriteLog(pszWhat,
                             nResult == 0 ? LOGGER::HV_LOG_NOTE : LOGGER::HV_LOG_MINOR,
                             __FILE__,
                             __LINE__,
                             engine.GetLastOutputPath().c_str());
}

TEST(LogSecrets, EncryptionRunWithLoggingOnLeavesNoPasswordInTheLog)
{
    CTempFolder dir;
    const auto log = dir.Path() / "Logs" / "HNV.log";
    LOGGER::g_HVLog.SetFileName(log.string());
    ASSERT_TRUE(LOGGER::g_HVLog.StartLogging());

    const std::string strSource = (dir.Path() / "secret notes.txt").string();
    std::ofstream(strSource) << "the plain text of the file\n";
    {
        CEncryptManager engine;
        engine.SetKdfCost(CEncryptManager::kDefaultKdfMemKiB / 256, 1);
        ASSERT_EQ(engine.EnablerEncryptionType(32, kPassword), 1);
        const int nEncrypted = engine.EncryptFileW(strSource);
        LogResult("Encrypt", strSource, engine, nEncrypted);
        ASSERT_NE(nEncrypted, 0) << engine.GetLastError();
        const std::string strEncrypted = engine.GetLastOutputPath();

        CEncryptManager wrong;
        wrong.SetPassword(u"not the password");
        const int nWrong = wrong.VerifyFileW(strEncrypted);
        LogResult("Verify (wrong password)", strEncrypted, wrong, nWrong);
        EXPECT_NE(nWrong, 0);

        CEncryptManager right;
        right.SetPassword(kPassword);
        std::filesystem::remove(strSource);
        const int nDecrypted = right.DecryptFileW(strEncrypted);
        LogResult("Decrypt", strEncrypted, right, nDecrypted);
        EXPECT_EQ(nDecrypted, 0) << right.GetLastError();
        LOGGER::g_HVLog.Log("Run done");
    }
    LOGGER::g_HVLog.StopLogging();

    const std::string text = hvtest::ReadText(log.string());
    ASSERT_NE(text.find("Encrypt "), std::string::npos) << text;
    ASSERT_NE(text.find("Run done"), std::string::npos);
    EXPECT_EQ(text.find(kPasswordUtf8), std::string::npos) << text;
    EXPECT_EQ(text.find(Utf16Le(kPassword)), std::string::npos);
    EXPECT_EQ(text.find("Tintenfass"), std::string::npos);
    EXPECT_EQ(text.find("not the password"), std::string::npos);
}

}  // namespace
