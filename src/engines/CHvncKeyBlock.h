#pragma once

#include "engines/CHvncHeader.h"
#include "engines/CSecureBuffer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The key block of a ".hvnc" file: the file's random data key and its metadata, sealed with
// AES-256-GCM under a key that comes from the password.
//
// Version 1 seals under the password key itself. AES-GCM does not commit to its key: a key block
// can be crafted that opens under two passwords, so that one password opens the file and a second
// one reports damage while every other password reports a wrong password. Version 2 closes this:
// HKDF-SHA-256 derives from the password key a wrapping key and a commitment key, and the header
// carries an HMAC-SHA-256 under the commitment key over everything before it, checked in constant
// time before anything is unwrapped. Only one password can match it; every other password, the
// second one of a crafted file included, gets the same answer.
//
// Keys live in secure memory; HMAC states are wiped after each use, and the AES-GCM context of
// the key block exists only inside Seal and Open (its key schedule is cleansed when it is freed).
class CHvncKeyBlock
{
public:
    static constexpr std::size_t kKeySize = 32;
    static constexpr std::size_t kKeySetSize = 3 * kKeySize;  // password, wrapping, commitment key
    static constexpr std::string_view kWrapInfo = "HVNC v2 key wrapping";
    static constexpr std::string_view kCommitInfo = "HVNC v2 key commitment";

    // HKDF-SHA-256 (RFC 5869) of the password key, no salt, the given info, 32 bytes into out.
    [[nodiscard]] static bool DeriveSubkey(const CSecureBuffer& passwordKey, std::string_view info, CSecureBuffer& out);
    // The key set of a password key: the password key, then its wrapping and commitment keys.
    [[nodiscard]] static bool DeriveKeySet(const CSecureBuffer& passwordKey, CSecureBuffer& keySet);
    // HMAC-SHA-256 of nLen bytes under the key, into pTag (32 bytes).
    [[nodiscard]] static bool
    Hmac(const std::uint8_t* pKey, std::size_t nKey, const std::uint8_t* pData, std::size_t nLen, std::uint8_t* pTag);

    // keys below: a key set (kKeySetSize bytes, as CHvncKeyCache keeps it) or the password key
    // alone (kKeySize bytes; the other two are then derived for the call).
    //
    // Seals block (data key and metadata, kKeyBlockSize bytes) into hdr in hdr's version (with the
    // commitment for version 2), and writes the whole header to pOut (hdr.Size() bytes).
    [[nodiscard]] static bool
    Seal(CHvncHeader& hdr, const CSecureBuffer& keys, const CSecureBuffer& block, std::uint8_t* pOut);
    // Opens hdr's key block into block and reads its metadata: Ok, WrongPassword, Corrupt or
    // Failed (no secure memory), with the reason.
    [[nodiscard]] static SHvncResult
    Open(const CHvncHeader& hdr, const CSecureBuffer& keys, CSecureBuffer& block, SHvncMeta& meta);
};
