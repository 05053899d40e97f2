// Every kind of damage to a ".hvnc" file is detected, with its own result, before anything is
// written under the output name; a wrong password is told apart from damage.
#include "engines/CEncryptManager.h"
#include "engines/CHvncHeader.h"
#include "engines/CHvncKeyCache.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

#include "EncTestSupport.h"

using namespace enctest;

namespace {

constexpr std::size_t kHeader = CHvncHeader::kSizeV2;
constexpr std::size_t kStride = 65536 + 16;

// Rewrites the header check after a deliberate edit, as a forger would.
void FixCheck(std::vector<std::uint8_t>& f)
{
    CHvncHeader::FixCheck(f.data(), f.size());
}

using Edit = std::function<void(std::vector<std::uint8_t>&)>;

// An edit that sets bytes, then rewrites the header check.
Edit Forge(std::vector<std::pair<std::size_t, std::uint8_t>> bytes)
{
    return [bytes](std::vector<std::uint8_t>& f) {
        for (const auto& [nAt, nValue] : bytes) {
            f[nAt] = nValue;
        }
        FixCheck(f);
    };
}

struct STamper
{
    const char* name;
    Edit edit;
    int expected;
    bool bBeforeKdf = false;  // refused by the header checks, before any key derivation runs
};

class EncTamper : public ::testing::TestWithParam<STamper>
{
};

TEST_P(EncTamper, IsDetectedAndNothingIsWritten)
{
    CTempDir dir;
    const auto plain = Pattern(3 * 65536 + 100);  // four chunks
    WriteFile(dir / "doc", plain);
    CCheapEngine em;
    ASSERT_NE(em.EncryptFileW(dir / "doc"), 0);
    ASSERT_EQ(::unlink((dir / "doc").c_str()), 0);
    auto file = ReadFile(dir / "doc.hvnc");
    GetParam().edit(file);
    WriteFile(dir / "doc.hvnc", file);

    CCheapEngine dm;
    const auto kdfRuns = CHvncKeyCache::GetRunCount();
    EXPECT_EQ(dm.DecryptFileW(dir / "doc.hvnc", std::string()), GetParam().expected) << dm.GetLastError();
    if (GetParam().bBeforeKdf) {
        EXPECT_EQ(CHvncKeyCache::GetRunCount(), kdfRuns) << "no key derivation for a refused header";
    }
    EXPECT_FALSE(dm.GetLastError().empty());
    EXPECT_EQ(List(dir.Path()), std::vector<std::string>{"doc.hvnc"}) << "no output, no temporary file";
    EXPECT_EQ(ReadFile(dir / "doc.hvnc"), file) << "the encrypted file is kept as it was";
    EXPECT_EQ(dm.VerifyFileW(dir / "doc.hvnc"), GetParam().expected);
}

const STamper kTampers[] = {
    {"MagicChanged", [](auto& f) { f[0] = 'X'; }, HVNC_NOT_HVNC, true},
    {"ForeignFile", [](auto& f) { f.assign(5000, 'a'); }, HVNC_NOT_HVNC, true},
    {"EmptyFile", [](auto& f) { f.clear(); }, HVNC_NOT_HVNC, true},
    {"FutureVersion", Forge({{8, 3}}), HVNC_UNSUPPORTED_VERSION, true},
    {"HeaderCut", [](auto& f) { f.resize(100); }, HVNC_CORRUPT, true},
    {"FlipInKdfField", [](auto& f) { f[17] ^= 0x01; }, HVNC_CORRUPT, true},
    {"FlipInSalt", [](auto& f) { f[30] ^= 0x80; }, HVNC_CORRUPT, true},
    {"FlipInWrappedKey", [](auto& f) { f[60] ^= 0x04; }, HVNC_CORRUPT, true},
    {"FlipInKeyTag", [](auto& f) { f[120] ^= 0x04; }, HVNC_CORRUPT, true},
    {"FlipInCommitment", [](auto& f) { f[140] ^= 0x10; }, HVNC_CORRUPT, true},
    {"FlipInHeaderCheck", [](auto& f) { f[170] ^= 0x10; }, HVNC_CORRUPT, true},
    {"AbsurdKdfMemory", Forge({{16, 0xFF}, {17, 0xFF}, {18, 0xFF}, {19, 0xFF}}), HVNC_CORRUPT, true},
    {"AbsurdKdfPasses", Forge({{20, 0x00}, {21, 0x10}}), HVNC_CORRUPT, true},
    {"UnknownCipher", Forge({{12, 9}}), HVNC_CORRUPT, true},
    // A forged header with a valid check but an edited field no longer opens the key block.
    {"ForgedCipherField", Forge({{12, 1}}), HVNC_WRONG_PASSWORD},
    {"ForgedCommitment",
     [](auto& f) {
         f[140] ^= 0x10;
         FixCheck(f);
     },
     HVNC_WRONG_PASSWORD},
    // Relabelled as version 1 (no commitment): the key block was not sealed under the password key.
    {"DowngradedToVersion1", Forge({{8, 1}, {10, 148}}), HVNC_WRONG_PASSWORD},
    {"FlipInChunk0", [](auto& f) { f[kHeader + 10] ^= 1; }, HVNC_CORRUPT},
    {"FlipInChunk1", [](auto& f) { f[kHeader + kStride + 500] ^= 1; }, HVNC_CORRUPT},
    {"FlipInChunk2Tag", [](auto& f) { f[kHeader + 3 * kStride - 1] ^= 1; }, HVNC_CORRUPT},
    {"FlipInLastChunk", [](auto& f) { f[f.size() - 20] ^= 1; }, HVNC_CORRUPT},
    {"FlipInLastTag", [](auto& f) { f.back() ^= 1; }, HVNC_CORRUPT},
    {"TruncatedByOne", [](auto& f) { f.pop_back(); }, HVNC_CORRUPT},
    {"LastChunkDropped", [](auto& f) { f.resize(kHeader + 3 * kStride); }, HVNC_CORRUPT},
    {"HeaderOnly", [](auto& f) { f.resize(kHeader); }, HVNC_CORRUPT},
    {"ByteAppended", [](auto& f) { f.push_back(0); }, HVNC_CORRUPT},
    {"ChunkAppended",
     [](auto& f) {
         std::vector<std::uint8_t> c(f.begin() + kHeader, f.begin() + kHeader + kStride);
         f.insert(f.end(), c.begin(), c.end());
     },
     HVNC_CORRUPT},
    {"ChunksSwapped",
     [](auto& f) {
         std::swap_ranges(f.begin() + kHeader, f.begin() + kHeader + kStride, f.begin() + kHeader + kStride);
     },
     HVNC_CORRUPT},
    {"FullChunkMovedLast",  // same length as before, but chunk 0 now sits at the end
     [](auto& f) {
         std::rotate(f.begin() + kHeader, f.begin() + kHeader + kStride, f.begin() + kHeader + 3 * kStride);
     },
     HVNC_CORRUPT},
};

INSTANTIATE_TEST_SUITE_P(Kinds, EncTamper, ::testing::ValuesIn(kTampers), [](const auto& info) {
    return std::string(info.param.name);
});

TEST(EncWrongPassword, GivesTwoAndTouchesNothing)
{
    CTempDir dir;
    const auto plain = Pattern(200000);
    WriteFile(dir / "a.txt", plain);
    CCheapEngine em(u"right");
    ASSERT_NE(em.EncryptFileW(dir / "a.txt"), 0);
    const auto enc = ReadFile(dir / "a.txt.hvnc");
    const std::vector<std::uint8_t> existing = {'m', 'i', 'n', 'e'};
    WriteFile(dir / "a.txt", existing);

    CCheapEngine dm(u"wrong");
    EXPECT_EQ(dm.DecryptFileW(dir / "a.txt.hvnc", std::string()), HVNC_WRONG_PASSWORD);
    EXPECT_EQ(dm.GetLastResult(), HVNC_WRONG_PASSWORD);
    EXPECT_EQ(ReadFile(dir / "a.txt"), existing);
    EXPECT_EQ(ReadFile(dir / "a.txt.hvnc"), enc);
    EXPECT_EQ(List(dir.Path()).size(), 2u);

    // The runner's retry: a new password on the same object, then success.
    dm.SetPassword(u"right");
    ASSERT_EQ(dm.DecryptFileW(dir / "a.txt.hvnc", std::string()), HVNC_OK);
    EXPECT_EQ(ReadFile(dir / "a(1).txt"), plain);
    EXPECT_EQ(ReadFile(dir / "a.txt"), existing);
}

TEST(EncWrongPassword, NoPasswordAtAllFails)
{
    CTempDir dir;
    WriteFile(dir / "a", Pattern(10));
    CEncryptManager em;
    EXPECT_EQ(em.EncryptFileW(dir / "a"), 0);
    EXPECT_EQ(em.GetLastResult(), HVNC_FAILED);
    EXPECT_EQ(em.EnablerEncryptionType(20, u"pw"), 0) << "an unknown key length is ignored";
    EXPECT_EQ(em.EncryptFileW(dir / "a"), 0);
    EXPECT_EQ(List(dir.Path()).size(), 1u);
}

}  // namespace

namespace {

// Random headers with a valid magic, version and check: whatever Parse accepts stays inside
// the limits a reader promises (no cost that could make us allocate gigabytes or spin).
TEST(EncHeaderParse, RandomHeadersStayWithinTheLimits)
{
    std::vector<std::uint8_t> h;
    int nAccepted = 0;
    for (std::uint32_t seed = 1; seed <= 3000; ++seed) {
        const std::uint8_t nVersion = seed % 3 == 0 ? 1 : 2;  // both layouts
        const std::uint8_t nSize = nVersion == 1 ? 148 : 180;
        h = Pattern(nSize, seed);
        const std::uint8_t head[12] = {'H', 'V', 'N', 'C', 0x0D, 0x0A, 0x1A, 0x0A, nVersion, 0, nSize, 0};
        std::copy(head, head + 12, h.begin());
        if (seed % 2 == 0) {  // half of them with plausible identifiers
            h[12] = static_cast<std::uint8_t>(1 + seed % 3);
            h[13] = 1;
            h[14] = 16;
            h[15] = 0;
            h[19] = h[18] = 0;
            h[21] = h[22] = h[23] = 0;
            h[20] = static_cast<std::uint8_t>(seed % 12);
        }
        FixCheck(h);
        CHvncHeader hdr;
        const SHvncResult parsed = hdr.Parse(h.data(), h.size());
        const int r = HvncCode(parsed.eCode);
        ASSERT_TRUE(r == HVNC_OK || r == HVNC_CORRUPT) << r;
        if (r == HVNC_OK) {
            ++nAccepted;
            EXPECT_GE(hdr.nMemKiB, CHvncHeader::kMinMemKiB);
            EXPECT_LE(hdr.nMemKiB, CHvncHeader::kMaxMemKiB);
            EXPECT_GE(hdr.nPasses, 1u);
            EXPECT_LE(hdr.nPasses, 10u);
            EXPECT_NE(CHvncHeader::KeyLenOfCipher(hdr.nCipher), 0);
        } else {
            EXPECT_FALSE(parsed.strReason.empty());
        }
    }
    EXPECT_GT(nAccepted, 100) << "plausible headers are accepted";
}

}  // namespace
