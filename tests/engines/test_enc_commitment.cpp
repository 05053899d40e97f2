// Key commitment: a key block crafted to open under two passwords (AES-GCM does not commit to its
// key) must not let a file answer differently for more than one password. Version 1 files are
// built here with such a block to show the block really opens under both keys; version 2 files
// built the same way fail the commitment check for every password but the one whose commitment
// key made the tag.
#include "engines/CEncryptManager.h"
#include "engines/CHvncCipher.h"
#include "engines/CHvncHeader.h"
#include "engines/CHvncKeyBlock.h"
#include "engines/CHvncKeyCache.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "EncTestSupport.h"

using namespace enctest;

namespace {

using Block = std::array<std::uint8_t, 16>;

Block Xor(const Block& a, const Block& b)
{
    Block r{};
    for (int i = 0; i < 16; ++i) {
        r[i] = a[i] ^ b[i];
    }
    return r;
}

// Multiplication in GF(2^128) with GCM's bit order (bit 0 is the top bit of byte 0).
Block Mul(const Block& x, const Block& y)
{
    Block z{};
    Block v = y;
    for (int i = 0; i < 128; ++i) {
        if ((x[i / 8] >> (7 - i % 8)) & 1) {
            z = Xor(z, v);
        }
        const bool bLow = v[15] & 1;
        for (int k = 15; k > 0; --k) {
            v[k] = static_cast<std::uint8_t>((v[k] >> 1) | (v[k - 1] << 7));
        }
        v[0] >>= 1;
        if (bLow) {
            v[0] ^= 0xE1;
        }
    }
    return z;
}

Block Inverse(const Block& a)  // a^(2^128 - 2)
{
    Block r{};
    r[0] = 0x80;  // one
    for (int i = 0; i < 127; ++i) {
        r = Mul(Mul(r, r), a);
    }
    return Mul(r, r);
}

Block Aes(const CSecureBuffer& key, const Block& in)
{
    Block out{};
    int n = 0;
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EXPECT_EQ(EVP_EncryptInit_ex(ctx, EVP_aes_256_ecb(), nullptr, key.data(), nullptr), 1);
    EXPECT_EQ(EVP_EncryptUpdate(ctx, out.data(), &n, in.data(), 16), 1);
    EVP_CIPHER_CTX_free(ctx);
    return out;
}

Block Counter(const CHvncHeader& hdr, std::uint8_t n)
{
    Block b{};
    std::memcpy(b.data(), hdr.wrapNonce.data(), 12);
    b[15] = n;
    return b;
}

// GHASH of the 52-byte AAD and the four ciphertext blocks under h.
Block Ghash(const Block& h, const std::uint8_t* pAad, const std::array<Block, 4>& c)
{
    std::uint8_t aad[64] = {};
    std::memcpy(aad, pAad, CHvncHeader::kAadSize);
    Block y{};
    auto absorb = [&](const Block& x) { y = Mul(Xor(y, x), h); };
    for (int i = 0; i < 4; ++i) {
        Block a{};
        std::memcpy(a.data(), aad + 16 * i, 16);
        absorb(a);
    }
    for (const Block& b : c) {
        absorb(b);
    }
    Block len{};
    len[6] = (52 * 8) >> 8;
    len[7] = (52 * 8) & 0xFF;
    len[14] = (64 * 8) >> 8;
    absorb(len);
    return y;
}

// Seals into hdr a key block that opens under both k1 and k2: under k1 it holds a data key and
// the metadata meta; under k2 the same bytes give other, random-looking contents. Returns the
// data key under k1.
CSecureBuffer
CraftTwoKeyBlock(CHvncHeader& hdr, const CSecureBuffer& k1, const CSecureBuffer& k2, const SHvncMeta& meta)
{
    std::uint8_t aad[CHvncHeader::kMaxSize];
    hdr.WriteAad(aad);
    std::uint8_t plain[32];
    meta.Write(plain);
    std::array<Block, 4> c{};
    c[1].fill(0x5A);
    for (int j = 2; j < 4; ++j) {
        Block p{};
        std::memcpy(p.data(), plain + 16 * (j - 2), 16);
        c[j] = Xor(p, Aes(k1, Counter(hdr, static_cast<std::uint8_t>(j + 2))));
    }
    const Block h1 = Aes(k1, Block{});
    const Block h2 = Aes(k2, Block{});
    const Block e1 = Aes(k1, Counter(hdr, 1));
    const Block e2 = Aes(k2, Counter(hdr, 1));
    // Tag_k = E_k(J0) + GHASH_k: linear in c[0] with the factor H^5; solve Tag_1 = Tag_2 for c[0].
    auto pow5 = [](const Block& h) { return Mul(Mul(Mul(Mul(h, h), h), h), h); };
    const Block rhs = Xor(Xor(e1, e2), Xor(Ghash(h1, aad, c), Ghash(h2, aad, c)));
    c[0] = Mul(rhs, Inverse(Xor(pow5(h1), pow5(h2))));
    const Block tag = Xor(e1, Ghash(h1, aad, c));
    for (int j = 0; j < 4; ++j) {
        std::memcpy(hdr.sealedKeys.data() + 16 * j, c[j].data(), 16);
    }
    std::memcpy(hdr.sealedKeys.data() + 64, tag.data(), 16);
    CSecureBuffer dataKey(32);
    for (int j = 0; j < 2; ++j) {
        const Block k = Xor(c[j], Aes(k1, Counter(hdr, static_cast<std::uint8_t>(j + 2))));
        std::memcpy(dataKey.data() + 16 * j, k.data(), 16);
    }
    return dataKey;
}

CSecureBuffer PasswordKey(const char* pw, const CHvncHeader& hdr)
{
    CSecureBuffer key(32);
    EXPECT_TRUE(CHvncKeyCache::Derive(
        CSecureBuffer::FromBytes(pw, std::strlen(pw)), hdr.salt.data(), hdr.nMemKiB, hdr.nPasses, key));
    return key;
}

// Whether the sealed block opens under key (the AES-GCM tag alone, as version 1 checked it).
bool Opens(const CHvncHeader& hdr, const CSecureBuffer& key)
{
    std::uint8_t aad[CHvncHeader::kMaxSize];
    hdr.WriteAad(aad);
    std::uint8_t out[64];
    CHvncCipher c;
    return c.Init(key.data(), key.size())
           && c.Open(hdr.wrapNonce.data(),
                     aad,
                     CHvncHeader::kAadSize,
                     hdr.sealedKeys.data(),
                     64,
                     out,
                     hdr.sealedKeys.data() + 64);
}

enum class ETag
{
    kNone,
    kFirst,
    kSecond
};

struct SCraft
{
    const char* name;
    std::uint16_t nVersion;
    ETag tag;  // version 2: whose commitment key made the tag
    int expect[3];
};

class EncCommitment : public ::testing::TestWithParam<SCraft>
{
};

TEST_P(EncCommitment, AtMostOnePasswordIsToldApart)
{
    const SCraft& t = GetParam();
    const char* const pws[3] = {"first password", "second password", "any other password"};
    CHvncHeader hdr;
    hdr.nVersion = t.nVersion;
    hdr.nMemKiB = kCheapMemKiB;
    hdr.nPasses = kCheapPasses;
    hdr.salt.fill(0x11);
    hdr.wrapNonce.fill(0x22);
    CSecureBuffer keys[2];
    CSecureBuffer commits[2];
    for (int i = 0; i < 2; ++i) {
        keys[i] = PasswordKey(pws[i], hdr);
        if (t.nVersion == 2) {
            CSecureBuffer passwordKey = std::move(keys[i]);
            ASSERT_TRUE(CHvncKeyBlock::DeriveSubkey(passwordKey, CHvncKeyBlock::kWrapInfo, keys[i]));
            ASSERT_TRUE(CHvncKeyBlock::DeriveSubkey(passwordKey, CHvncKeyBlock::kCommitInfo, commits[i]));
        }
    }
    SHvncMeta meta;
    meta.nSize = 5;
    meta.nMode = 0600;
    const CSecureBuffer dataKey = CraftTwoKeyBlock(hdr, keys[0], keys[1], meta);
    ASSERT_TRUE(Opens(hdr, keys[0]) && Opens(hdr, keys[1])) << "the crafted block opens under both keys";

    std::vector<std::uint8_t> file(hdr.Size());
    hdr.WriteCommitted(file.data());
    if (t.tag != ETag::kNone) {
        ASSERT_TRUE(CHvncKeyBlock::Hmac(
            commits[t.tag == ETag::kFirst ? 0 : 1].data(), 32, file.data(), 132, hdr.commit.data()));
    }
    hdr.Write(file.data());
    std::uint8_t chunk[5 + 16] = {'h', 'e', 'l', 'l', 'o'};
    CHvncCipher content;
    ASSERT_TRUE(content.Init(dataKey.data(), 32) && content.SealChunk(0, true, chunk, 5, chunk + 5));
    file.insert(file.end(), chunk, chunk + sizeof chunk);
    CTempDir dir;
    WriteFile(dir / "crafted.hvnc", file);

    std::string strWrongWhy;
    for (int i = 2; i >= 0; --i) {
        CCheapEngine dm(std::u16string(pws[i], pws[i] + std::strlen(pws[i])));
        std::vector<std::uint8_t> plain;
        EXPECT_EQ(dm.DecryptFileW(dir / "crafted.hvnc", plain), t.expect[i]) << pws[i] << ": " << dm.GetLastError();
        if (i == 2) {
            strWrongWhy = dm.GetLastError();
        } else if (t.expect[i] == HVNC_WRONG_PASSWORD) {
            EXPECT_EQ(dm.GetLastError(), strWrongWhy) << "the same answer as any other wrong password";
        } else if (t.expect[i] == HVNC_OK) {
            EXPECT_EQ(plain, (std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'}));
        }
    }
}

// Answers for the first, the second and any other password.
const SCraft kCrafts[] = {
    // Version 1 trusted the GCM tag: the second password opened the block and got "damaged".
    {"Version1", 1, ETag::kNone, {HVNC_OK, HVNC_WRONG_PASSWORD, HVNC_WRONG_PASSWORD}},
    {"Version2TagOfFirst", 2, ETag::kFirst, {HVNC_OK, HVNC_WRONG_PASSWORD, HVNC_WRONG_PASSWORD}},
    // Under the second password's tag the block (made for the first) is bad, but only that one
    // password can see it: the first one is wrong like any other.
    {"Version2TagOfSecond", 2, ETag::kSecond, {HVNC_WRONG_PASSWORD, HVNC_CORRUPT, HVNC_WRONG_PASSWORD}},
    {"Version2NoTag", 2, ETag::kNone, {HVNC_WRONG_PASSWORD, HVNC_WRONG_PASSWORD, HVNC_WRONG_PASSWORD}},
};

INSTANTIATE_TEST_SUITE_P(Crafted, EncCommitment, ::testing::ValuesIn(kCrafts), [](const auto& info) {
    return std::string(info.param.name);
});

}  // namespace
