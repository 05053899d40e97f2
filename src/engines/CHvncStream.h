#pragma once

#include "engines/HVProgress.h"
#include "engines/HvncResult.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CHvncCipher;
class CSignal;

// Moves the content of one file through AES-GCM chunks: a reader thread fills a small ring of
// 1 MiB blocks, a second thread seals or opens them, the calling thread writes them out. Peak
// memory is the ring (a few MiB) whatever the file size; files of one block run inline.
struct SHvncStreamJob
{
    bool bEncrypt = true;
    int fdIn = -1;
    int fdOut = -1;                             // or:
    std::vector<std::uint8_t>* pMem = nullptr;  // decryption into memory
    bool bDiscard = false;                      // or: check only (verification)
    bool bSparse = false;  // decryption into fdOut: runs of zeros skipped (holes); the caller sets the size
    const std::uint8_t* pPrefix = nullptr;  // bytes written before the first block (the header)
    std::size_t nPrefix = 0;
    std::uint64_t nPlainSize = 0;  // size of the plain content
    CHvncCipher* pCipher = nullptr;
    const CSignal* pStop = nullptr;
    const HVProgressSink* pSink = nullptr;
};

// Ok, Corrupt (a chunk failed to open), IoError (read or write failed), Changed (the source
// changed size), NoSpace or Cancelled, with the reason.
[[nodiscard]] SHvncResult HvncRunStream(const SHvncStreamJob& job);
