// Fuzz target of the .hvnc header parser: any bytes either parse or are refused with a reason;
// what parses writes back to the same bytes (148 of version 1, 180 of version 2). Byte 0 bit 0
// asks to repair the header check first, so that the fuzzer reaches the field checks behind it.

#include "engines/CHvncHeader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1) {
        return 0;
    }
    const bool bRepair = pData[0] & 1;
    std::vector<uint8_t> bytes(pData + 1, pData + nSize);
    if (bRepair) {
        CHvncHeader::FixCheck(bytes.data(), bytes.size());
    }

    CHvncHeader header;
    const SHvncResult result = header.Parse(bytes.data(), bytes.size());
    if (!result.Ok()) {
        if (result.strReason.empty()) {
            std::abort();  // every refusal says why
        }
    } else {
        if (bytes.size() < header.Size() || CHvncHeader::KeyLenOfCipher(header.nCipher) == 0
            || header.nMemKiB < CHvncHeader::kMinMemKiB || header.nMemKiB > CHvncHeader::kMaxMemKiB
            || header.nPasses < CHvncHeader::kMinPasses || header.nPasses > CHvncHeader::kMaxPasses) {
            std::abort();
        }
        uint8_t out[CHvncHeader::kMaxSize];
        header.Write(out);
        if (std::memcmp(out, bytes.data(), header.Size()) != 0) {
            std::abort();  // a parsed header writes back unchanged
        }
    }

    if (bytes.size() >= 32) {
        SHvncMeta meta;
        if (meta.Read(bytes.data())) {
            uint8_t out[32];
            meta.Write(out);
            SHvncMeta again;
            if (!again.Read(out) || again.nSize != meta.nSize || again.nMode != meta.nMode
                || again.nMtimeSec != meta.nMtimeSec || again.nMtimeNsec != meta.nMtimeNsec) {
                std::abort();
            }
        }
    }
    (void)CHvncHeader::ContentSize(nSize * 1000003u);
    return 0;
}
