#include "engines/CHvncHeader.h"

#include "engines/CHvncIo.h"

#include <cstring>
#include <openssl/evp.h>

namespace {

void Put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

void Put64(std::uint8_t* p, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

std::uint16_t Get16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Get32(const std::uint8_t* p)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | p[i];
    }
    return v;
}

std::uint64_t Get64(const std::uint8_t* p)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) {
        v = (v << 8) | p[i];
    }
    return v;
}

// SHA-256 over the nCovered bytes before the check, first 16 bytes.
void HeaderCheck(const std::uint8_t* pHeader, std::size_t nCovered, std::uint8_t* pOut16)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int nLen = 0;
    if (EVP_Digest(pHeader, nCovered, digest, &nLen, EVP_sha256(), nullptr) != 1) {
        std::memset(digest, 0, sizeof digest);
    }
    std::memcpy(pOut16, digest, CHvncHeader::kCheckSize);
}

}  // namespace

std::size_t CHvncHeader::SizeOfVersion(std::uint16_t nVersion)
{
    return nVersion == kVersion1 ? kSizeV1 : nVersion == kVersion2 ? kSizeV2 : 0;
}

void CHvncHeader::WriteAad(std::uint8_t* p) const
{
    std::memcpy(p, kMagic.data(), kMagic.size());
    Put16(p + 8, nVersion);
    Put16(p + 10, static_cast<std::uint16_t>(Size()));
    p[12] = nCipher;
    p[13] = kKdfArgon2id;
    p[14] = kChunkLog2;
    p[15] = 0;
    Put32(p + 16, nMemKiB);
    Put32(p + 20, nPasses);
    std::memcpy(p + 24, salt.data(), salt.size());
    std::memcpy(p + 40, wrapNonce.data(), wrapNonce.size());
}

void CHvncHeader::WriteCommitted(std::uint8_t* p) const
{
    WriteAad(p);
    std::memcpy(p + kKeyBlockOffset, sealedKeys.data(), sealedKeys.size());
}

void CHvncHeader::Write(std::uint8_t* p) const
{
    WriteCommitted(p);
    if (nVersion >= kVersion2) {
        std::memcpy(p + kCommitOffset, commit.data(), commit.size());
    }
    HeaderCheck(p, Size() - kCheckSize, p + Size() - kCheckSize);
}

void CHvncHeader::FixCheck(std::uint8_t* p, std::size_t nLen)
{
    const std::size_t nSize = nLen >= kPrefixSize ? SizeOfVersion(Get16(p + 8)) : 0;
    if (nSize != 0 && nLen >= nSize) {
        HeaderCheck(p, nSize - kCheckSize, p + nSize - kCheckSize);
    }
}

SHvncResult CHvncHeader::Parse(const std::uint8_t* p, std::size_t nLen)
{
    if (nLen < kMagic.size() || std::memcmp(p, kMagic.data(), kMagic.size()) != 0) {
        return {EHvnc::NotHvnc, "not an encrypted file (no HVNC magic)"};
    }
    if (nLen < 10) {
        return {EHvnc::Corrupt, "header is truncated"};
    }
    const std::uint16_t nFileVersion = Get16(p + 8);
    const std::size_t nSize = SizeOfVersion(nFileVersion);
    if (nSize == 0) {
        return {nFileVersion > kVersion ? EHvnc::UnsupportedVersion : EHvnc::Corrupt,
                "format version " + std::to_string(nFileVersion) + " is not supported"};
    }
    if (nLen < nSize || Get16(p + 10) != nSize) {
        return {EHvnc::Corrupt, "header is truncated or has a wrong length"};
    }
    std::uint8_t check[kCheckSize];
    HeaderCheck(p, nSize - kCheckSize, check);
    if (std::memcmp(check, p + nSize - kCheckSize, sizeof check) != 0) {
        return {EHvnc::Corrupt, "header is damaged (check value mismatch)"};
    }
    if (KeyLenOfCipher(p[12]) == 0 || p[13] != kKdfArgon2id || p[14] != kChunkLog2 || p[15] != 0) {
        return {EHvnc::Corrupt, "header names an unknown cipher, key derivation or chunk size"};
    }
    const std::uint32_t nMem = Get32(p + 16);
    const std::uint32_t nPass = Get32(p + 20);
    if (nMem < kMinMemKiB || nMem > kMaxMemKiB || nPass < kMinPasses || nPass > kMaxPasses) {
        return {EHvnc::Corrupt, "key derivation cost in the header is out of the accepted range"};
    }
    nVersion = nFileVersion;
    nCipher = p[12];
    nMemKiB = nMem;
    nPasses = nPass;
    std::memcpy(salt.data(), p + 24, salt.size());
    std::memcpy(wrapNonce.data(), p + 40, wrapNonce.size());
    std::memcpy(sealedKeys.data(), p + kKeyBlockOffset, sealedKeys.size());
    commit.fill(0);
    if (nVersion >= kVersion2) {
        std::memcpy(commit.data(), p + kCommitOffset, commit.size());
    }
    return {};
}

SHvncResult CHvncHeader::ReadFrom(int fd, std::uint8_t* pBytes)
{
    // The fixed prefix first: the version decides how many bytes belong to the header.
    ssize_t nRead = HvncIo::ReadFull(fd, pBytes, kPrefixSize);
    if (nRead == static_cast<ssize_t>(kPrefixSize)) {
        const std::size_t nSize = SizeOfVersion(Get16(pBytes + 8));
        if (nSize != 0 && Get16(pBytes + 10) == nSize) {
            const ssize_t nRest = HvncIo::ReadFull(fd, pBytes + kPrefixSize, nSize - kPrefixSize);
            nRead = nRest < 0 ? nRest : nRead + nRest;
        }
    }
    if (nRead < 0) {
        return {EHvnc::IoError, "cannot read the header"};
    }
    return Parse(pBytes, static_cast<std::size_t>(nRead));
}

int CHvncHeader::KeyLenOfCipher(std::uint8_t nCipher)
{
    switch (nCipher) {
    case 1:
        return 16;
    case 2:
        return 24;
    case 3:
        return 32;
    default:
        return 0;
    }
}

std::uint8_t CHvncHeader::CipherOfKeyLen(int nKeyLen)
{
    return nKeyLen == 16 ? 1 : nKeyLen == 24 ? 2 : 3;
}

std::uint64_t CHvncHeader::ChunkCount(std::uint64_t nPlain)
{
    return nPlain == 0 ? 1 : (nPlain + kChunkSize - 1) / kChunkSize;
}

std::uint64_t CHvncHeader::ContentSize(std::uint64_t nPlain)
{
    return nPlain + ChunkCount(nPlain) * kTagSize;
}

void SHvncMeta::Write(std::uint8_t* p) const
{
    Put64(p, nSize);
    Put32(p + 8, nMode);
    Put32(p + 12, 0);
    Put64(p + 16, static_cast<std::uint64_t>(nMtimeSec));
    Put32(p + 24, nMtimeNsec);
    Put32(p + 28, 0);
}

bool SHvncMeta::Read(const std::uint8_t* p)
{
    nSize = Get64(p);
    nMode = Get32(p + 8);
    nMtimeSec = static_cast<std::int64_t>(Get64(p + 16));
    nMtimeNsec = Get32(p + 24);
    // Sizes beyond 2^62 cannot be real files; nanoseconds must be below one second.
    return nSize < (std::uint64_t{1} << 62) && nMtimeNsec < 1000000000u && (nMode & ~07777u) == 0 && Get32(p + 12) == 0
           && Get32(p + 28) == 0;
}
