// Fuzz target of the .hvnc reader: the input (after one option byte) is an encrypted file,
// decrypted into memory and verified with a fixed password. The seed corpus holds files
// written with that password at the cheapest key-derivation cost, so the fuzzer works from
// valid files; byte 0 bit 0 repairs the header check after the mutation so that changes reach
// the fields, the key block and the chunks behind it. Headers asking for a dearer key
// derivation than the seeds are skipped: they only make the run slow.

#include "engines/CEncryptManager.h"
#include "engines/CHvncHeader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char16_t kPassword[] = u"fuzz-password";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1) {
        return 0;
    }
    const bool bRepair = pData[0] & 1;
    std::vector<uint8_t> bytes(pData + 1, pData + nSize);
    if (bytes.size() >= CHvncHeader::kPrefixSize) {
        if (bRepair) {
            CHvncHeader::FixCheck(bytes.data(), bytes.size());
        }
        CHvncHeader header;
        if (header.Parse(bytes.data(), bytes.size()).Ok() && (header.nMemKiB > 64 || header.nPasses > 2)) {
            return 0;
        }
    }

    const int fd = memfd_create("hvnc_fuzz", MFD_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    if (::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size())) {
        const std::string strPath = "/proc/self/fd/" + std::to_string(fd);
        CEncryptManager engine;
        engine.SetPassword(kPassword);
        std::vector<uint8_t> plain;
        const int nDecrypt = engine.DecryptFileW(strPath, plain);
        const int nVerify = engine.VerifyFileW(strPath);
        if ((nDecrypt == HVNC_OK) != (nVerify == HVNC_OK)) {
            std::abort();  // reading and checking must agree on the same bytes
        }
        if (nDecrypt == HVNC_OK && plain.size() > CEncryptManager::kMaxMemoryPlain) {
            std::abort();
        }
        if (nDecrypt != HVNC_OK && !plain.empty()) {
            std::abort();  // nothing of a refused file is handed out
        }
    }
    ::close(fd);
    return 0;
}
