// The format's test vectors (tests/engines/vectors): both versions, every cipher, empty, one byte,
// exactly one chunk and one byte more. The engine decrypts each to the listed plain text and
// metadata, and refuses each under another password.
#include "engines/CEncryptManager.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

#include "EncTestSupport.h"

using namespace enctest;

namespace {

struct SVector
{
    std::string strFile;
    std::size_t nSize = 0;
    unsigned nMode = 0;
    long nSec = 0;
    long nNsec = 0;
    std::u16string password;
};

std::u16string FromUtf8(const std::string& s)
{
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int nExtra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        char32_t cp = nExtra == 0 ? b : b & (0x3F >> nExtra);
        for (int k = 1; k <= nExtra && i + k < s.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        i += static_cast<std::size_t>(nExtra) + 1;
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::vector<SVector> Vectors()
{
    std::vector<SVector> list;
    std::ifstream in(std::string(HV_VECTORS_DIR) + "/vectors.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        SVector v;
        std::string mode;
        std::string pw;
        fields >> v.strFile >> v.nSize >> mode >> v.nSec >> v.nNsec;
        fields.get();  // the tab before the password, which may hold spaces
        std::getline(fields, pw);
        v.nMode = static_cast<unsigned>(std::stoul(mode, nullptr, 8));
        v.password = FromUtf8(pw);
        list.push_back(v);
    }
    return list;
}

TEST(EncVectors, EveryVectorDecryptsToItsPlainTextAndMetadata)
{
    const auto vectors = Vectors();
    ASSERT_GE(vectors.size(), 12u);
    for (const SVector& v : vectors) {
        SCOPED_TRACE(v.strFile);
        CTempDir dir;
        WriteFile(dir / "x.hvnc", ReadFile(std::string(HV_VECTORS_DIR) + "/" + v.strFile));
        CEncryptManager wrong;
        ASSERT_NE(wrong.EnablerEncryptionType(32, v.password + u"!"), 0);
        EXPECT_EQ(wrong.DecryptFileW(dir / "x.hvnc", std::string()), HVNC_WRONG_PASSWORD);

        CEncryptManager dm;
        ASSERT_NE(dm.EnablerEncryptionType(32, v.password), 0);
        ASSERT_EQ(dm.DecryptFileW(dir / "x.hvnc", std::string()), HVNC_OK) << dm.GetLastError();
        std::vector<std::uint8_t> expect(v.nSize);
        for (std::size_t i = 0; i < v.nSize; ++i) {
            expect[i] = static_cast<std::uint8_t>(i % 251);
        }
        EXPECT_EQ(ReadFile(dir / "x"), expect);
        struct stat st = {};
        ASSERT_EQ(::stat((dir / "x").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, v.nMode);
        EXPECT_EQ(st.st_mtim.tv_sec, v.nSec);
        EXPECT_EQ(st.st_mtim.tv_nsec, v.nNsec);
    }
}

}  // namespace
