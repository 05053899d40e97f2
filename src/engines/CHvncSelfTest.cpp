#include "engines/CHvncSelfTest.h"

#include "engines/CHvncCipher.h"
#include "engines/CHvncKeyBlock.h"
#include "engines/CHvncKeyCache.h"
#include "engines/CSecureBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <openssl/evp.h>
#include <vector>

namespace {

// The GCM test vectors of the mode's original submission to NIST (test cases 1, 2, 4 for
// AES-128; 7, 8, 10 for AES-192; 13, 14, 16 for AES-256), all with 96-bit nonces.
struct SGcmVector
{
    const char* pszName;
    const char* pszKey;
    const char* pszNonce;
    const char* pszAad;
    const char* pszPlain;
    const char* pszCipher;
    const char* pszTag;
};

constexpr const char* kZeroNonce = "000000000000000000000000";
constexpr const char* kNonce = "cafebabefacedbaddecaf888";
constexpr const char* kAad = "feedfacedeadbeeffeedfacedeadbeefabaddad2";
constexpr const char* kPlain = "d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a72"
                               "1c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de657ba637b39";
constexpr const char* kZero16 = "00000000000000000000000000000000";
constexpr const char* kZero24 = "000000000000000000000000000000000000000000000000";
constexpr const char* kZero32 = "0000000000000000000000000000000000000000000000000000000000000000";

constexpr SGcmVector kGcm[] = {
    {"AES-128-GCM #1", kZero16, kZeroNonce, "", "", "", "58e2fccefa7e3061367f1d57a4e7455a"},
    {"AES-128-GCM #2",
     kZero16,
     kZeroNonce,
     "",
     kZero16,
     "0388dace60b6a392f328c2b971b2fe78",
     "ab6e47d42cec13bdf53a67b21257bddf"},
    {"AES-128-GCM #3",
     "feffe9928665731c6d6a8f9467308308",
     kNonce,
     kAad,
     kPlain,
     "42831ec2217774244b7221b784d0d49ce3aa212f2c02a4e035c17e2329aca12e"
     "21d514b25466931c7d8f6a5aac84aa051ba30b396a0aac973d58e091",
     "5bc94fbc3221a5db94fae95ae7121a47"},
    {"AES-192-GCM #1", kZero24, kZeroNonce, "", "", "", "cd33b28ac773f74ba00ed1f312572435"},
    {"AES-192-GCM #2",
     kZero24,
     kZeroNonce,
     "",
     kZero16,
     "98e7247c07f0fe411c267e4384b0f600",
     "2ff58d80033927ab8ef4d4587514f0fb"},
    {"AES-192-GCM #3",
     "feffe9928665731c6d6a8f9467308308feffe9928665731c",
     kNonce,
     kAad,
     kPlain,
     "3980ca0b3c00e841eb06fac4872a2757859e1ceaa6efd984628593b40ca1e19c"
     "7d773d00c144c525ac619d18c84a3f4718e2448b2fe324d9ccda2710",
     "2519498e80f1478f37ba55bd6d27618c"},
    {"AES-256-GCM #1", kZero32, kZeroNonce, "", "", "", "530f8afbc74536b9a963b4f1c4cb738b"},
    {"AES-256-GCM #2",
     kZero32,
     kZeroNonce,
     "",
     kZero16,
     "cea7403d4d606b6e074ec5d3baf39d18",
     "d0d1c8a799996bf0265b98b5d48ab919"},
    {"AES-256-GCM #3",
     "feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308",
     kNonce,
     kAad,
     kPlain,
     "522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa"
     "8cb08e48590dbb3da7b08b1056828838c5f61e6393ba7a0abcc9f662",
     "76fc6ece0f4e1768cddf8853bb2d551b"},
};

// Argon2id (version 1.3, one lane) of a fixed password and salt at a small cost. The answer was
// computed with libsodium and agrees with the reference implementation's command-line tool.
constexpr const char* kArgonPassword = "Halvo self-test password";
constexpr std::uint32_t kArgonMemKiB = 64;
constexpr std::uint32_t kArgonPasses = 2;
constexpr const char* kArgonAnswer = "de634c1204e583216c84b57645050540720db1e1516e6fbd427f64211dea93b7";

struct SDigestVector
{
    const char* pszName;
    const char* pszMessage;
    const char* pszDigest;
};

// FIPS 180-2 examples and the empty message.
constexpr SDigestVector kSha256[] = {
    {"SHA-256 #1", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"SHA-256 #2",
     "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"SHA-256 #3", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
};

// HMAC-SHA-256 (RFC 4231, test case 2) and HKDF-SHA-256 without salt (RFC 5869, test case 3,
// first 32 bytes), through the functions that derive and check the key commitment.
constexpr const char* kHmacKey = "Jefe";
constexpr const char* kHmacData = "what do ya want for nothing?";
constexpr const char* kHmacAnswer = "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843";
constexpr const char* kHkdfIkm = "0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b";
constexpr const char* kHkdfAnswer = "8da4e775a563c18f715f802a063c5a31b8a11f5c5ee1879ec3454e5f3c738d2d";

std::mutex g_mutex;
std::string g_strBroken;  // test seam
bool g_bDone = false;
bool g_bPassed = false;
std::string g_strFailure;

std::vector<std::uint8_t> Hex(const char* psz)
{
    std::vector<std::uint8_t> out;
    auto nibble = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c - 'A' + 10;
    };
    for (std::size_t i = 0; psz[i] != 0 && psz[i + 1] != 0; i += 2) {
        out.push_back(static_cast<std::uint8_t>(nibble(psz[i]) << 4 | nibble(psz[i + 1])));
    }
    return out;
}

std::string Broken()
{
    std::lock_guard lock(g_mutex);
    return g_strBroken;
}

// The expected bytes of a test, with one bit flipped when the seam names it.
std::vector<std::uint8_t> Expected(const char* pszName, const char* pszHex, const std::string& strBroken)
{
    std::vector<std::uint8_t> v = Hex(pszHex);
    if (!v.empty() && strBroken == pszName) {
        v[v.size() / 2] ^= 0x01;
    }
    return v;
}

bool CheckGcm(const SGcmVector& t, const std::string& strBroken)
{
    const auto key = Hex(t.pszKey);
    const auto nonce = Hex(t.pszNonce);
    const auto aad = Hex(t.pszAad);
    const auto plain = Hex(t.pszPlain);
    const auto expectCipher = Hex(t.pszCipher);
    const auto expectTag = Expected(t.pszName, t.pszTag, strBroken);
    if (nonce.size() != CHvncCipher::kNonceSize || expectTag.size() != CHvncCipher::kTagSize
        || expectCipher.size() != plain.size()) {
        return false;
    }
    CHvncCipher cipher;
    if (!cipher.Init(key.data(), key.size())) {
        return false;
    }
    std::vector<std::uint8_t> out(plain.size() + 1);
    std::uint8_t tag[CHvncCipher::kTagSize] = {};
    if (!cipher.Seal(nonce.data(), aad.data(), aad.size(), plain.data(), plain.size(), out.data(), tag)
        || !std::equal(expectCipher.begin(), expectCipher.end(), out.begin())
        || !std::equal(expectTag.begin(), expectTag.end(), tag)) {
        return false;
    }
    // Opening gives the plain text back, and a tag one bit off is refused.
    std::vector<std::uint8_t> back(plain.size() + 1);
    if (!cipher.Open(nonce.data(), aad.data(), aad.size(), out.data(), plain.size(), back.data(), tag)
        || !std::equal(plain.begin(), plain.end(), back.begin())) {
        return false;
    }
    tag[0] ^= 0x80;
    return !cipher.Open(nonce.data(), aad.data(), aad.size(), out.data(), plain.size(), back.data(), tag);
}

bool CheckArgon2id(const std::string& strBroken)
{
    const auto expect = Expected("Argon2id", kArgonAnswer, strBroken);
    const CSecureBuffer password = CSecureBuffer::FromBytes(kArgonPassword, std::strlen(kArgonPassword));
    std::uint8_t salt[16];
    for (std::size_t i = 0; i < sizeof salt; ++i) {
        salt[i] = static_cast<std::uint8_t>(0x10 + i);
    }
    CSecureBuffer out(expect.size());
    return out.size() == expect.size() && CHvncKeyCache::Derive(password, salt, kArgonMemKiB, kArgonPasses, out)
           && std::memcmp(out.data(), expect.data(), expect.size()) == 0;
}

bool CheckHmacAndHkdf(const std::string& strBroken, std::string& strName)
{
    strName = "HMAC-SHA-256";
    const auto expectMac = Expected("HMAC-SHA-256", kHmacAnswer, strBroken);
    std::uint8_t mac[32];
    if (!CHvncKeyBlock::Hmac(reinterpret_cast<const std::uint8_t*>(kHmacKey),
                             std::strlen(kHmacKey),
                             reinterpret_cast<const std::uint8_t*>(kHmacData),
                             std::strlen(kHmacData),
                             mac)
        || std::memcmp(mac, expectMac.data(), sizeof mac) != 0) {
        return false;
    }
    strName = "HKDF-SHA-256";
    const auto expectKey = Expected("HKDF-SHA-256", kHkdfAnswer, strBroken);
    const auto ikm = Hex(kHkdfIkm);
    CSecureBuffer key;
    return CHvncKeyBlock::DeriveSubkey(CSecureBuffer::FromBytes(ikm.data(), ikm.size()), "", key)
           && key.size() == expectKey.size() && std::memcmp(key.data(), expectKey.data(), key.size()) == 0;
}

bool CheckSha256(const SDigestVector& t, const std::string& strBroken)
{
    const auto expect = Expected(t.pszName, t.pszDigest, strBroken);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int nLen = 0;
    return EVP_Digest(t.pszMessage, std::strlen(t.pszMessage), digest, &nLen, EVP_sha256(), nullptr) == 1
           && nLen == expect.size() && std::memcmp(digest, expect.data(), nLen) == 0;
}

}  // namespace

bool CHvncSelfTest::RunAll(std::string& strFailure)
{
    const std::string strBroken = Broken();
    for (const SGcmVector& t : kGcm) {
        if (!CheckGcm(t, strBroken)) {
            strFailure = std::string(t.pszName) + " does not give its known answer";
            return false;
        }
    }
    if (!CheckArgon2id(strBroken)) {
        strFailure = "Argon2id does not give its known answer";
        return false;
    }
    std::string strName;
    if (!CheckHmacAndHkdf(strBroken, strName)) {
        strFailure = strName + " does not give its known answer";
        return false;
    }
    for (const SDigestVector& t : kSha256) {
        if (!CheckSha256(t, strBroken)) {
            strFailure = std::string(t.pszName) + " does not give its known answer";
            return false;
        }
    }
    strFailure.clear();
    return true;
}

bool CHvncSelfTest::Run(std::string& strFailure)
{
    {
        std::lock_guard lock(g_mutex);
        if (g_bDone) {
            strFailure = g_strFailure;
            return g_bPassed;
        }
    }
    std::string strWhy;
    const bool bPassed = RunAll(strWhy);
    std::lock_guard lock(g_mutex);
    if (!g_bDone) {
        g_bDone = true;
        g_bPassed = bPassed;
        g_strFailure = strWhy;
    }
    strFailure = g_strFailure;
    return g_bPassed;
}

void CHvncSelfTest::SetBrokenVectorForTest(std::string_view strName)
{
    std::lock_guard lock(g_mutex);
    g_strBroken = std::string(strName);
    g_bDone = false;
    g_bPassed = false;
    g_strFailure.clear();
}
