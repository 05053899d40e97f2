#include "engines/CHvncStream.h"

#include "engines/CHvncCipher.h"
#include "engines/CHvncHeader.h"
#include "engines/CHvncIo.h"
#include "engines/HvncResult.h"
#include "signal/CSignal.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::size_t kChunk = CHvncHeader::kChunkSize;
constexpr std::size_t kTag = CHvncHeader::kTagSize;
constexpr std::size_t kStride = kChunk + kTag;
constexpr std::uint64_t kChunksPerBlock = 16;
constexpr std::size_t kSlots = 6;

struct SBlock
{
    std::vector<std::uint8_t> buf;
    std::uint64_t nFirst = 0;  // index of its first chunk
    std::size_t nChunks = 0;
};

// True for a run of zeros worth a hole (a file-system block or more).
bool IsZero(const std::uint8_t* p, std::size_t n)
{
    return n >= 4096 && p[0] == 0 && std::memcmp(p, p + 1, n - 1) == 0;
}

class CPipe
{
public:
    explicit CPipe(const SHvncStreamJob& job)
        : m_job(job)
        , m_nChunks(CHvncHeader::ChunkCount(job.nPlainSize))
        , m_nBlocks((m_nChunks + kChunksPerBlock - 1) / kChunksPerBlock)
    {
    }

    int Run(std::string& strWhy);

private:
    std::size_t PlainLen(std::uint64_t c) const
    {
        return c + 1 < m_nChunks ? kChunk : static_cast<std::size_t>(m_job.nPlainSize - c * kChunk);
    }
    std::size_t BlockPlain(const SBlock& b) const
    {
        std::size_t n = 0;
        for (std::size_t i = 0; i < b.nChunks; ++i) {
            n += PlainLen(b.nFirst + i);
        }
        return n;
    }
    void Place(SBlock& b, std::uint64_t nBlock) const
    {
        b.nFirst = nBlock * kChunksPerBlock;
        b.nChunks = static_cast<std::size_t>(std::min<std::uint64_t>(kChunksPerBlock, m_nChunks - b.nFirst));
        b.buf.resize(BlockPlain(b) + b.nChunks * kTag);
    }
    bool AtEof() const
    {
        std::uint8_t probe = 0;
        return HvncIo::ReadFull(m_job.fdIn, &probe, 1) == 0;
    }
    int Read(SBlock& b, std::uint64_t nBlock, std::string& strWhy);
    int Crypt(SBlock& b, std::string& strWhy);
    int Write(SBlock& b, std::string& strWhy);

    const SHvncStreamJob& m_job;
    const std::uint64_t m_nChunks;
    const std::uint64_t m_nBlocks;
};

int CPipe::Read(SBlock& b, std::uint64_t nBlock, std::string& strWhy)
{
    Place(b, nBlock);
    const bool bLastBlock = nBlock + 1 == m_nBlocks;
    if (m_job.bEncrypt) {
        iovec v[kChunksPerBlock];
        std::size_t nWant = 0;
        for (std::size_t i = 0; i < b.nChunks; ++i) {
            v[i].iov_base = b.buf.data() + i * kStride;
            v[i].iov_len = PlainLen(b.nFirst + i);
            nWant += v[i].iov_len;
        }
        const ssize_t n = HvncIo::ReadFullV(m_job.fdIn, v, static_cast<int>(b.nChunks));
        if (n < 0) {
            strWhy = "reading the source failed";
            return HVNC_IO_ERROR;
        }
        if (static_cast<std::size_t>(n) != nWant || (bLastBlock && !AtEof())) {
            strWhy = "the source changed size while it was being encrypted";
            return HVNC_CHANGED;
        }
        return HVNC_OK;
    }
    const ssize_t n = HvncIo::ReadFull(m_job.fdIn, b.buf.data(), b.buf.size());
    if (n < 0) {
        strWhy = "reading the encrypted file failed";
        return HVNC_IO_ERROR;
    }
    if (static_cast<std::size_t>(n) != b.buf.size()) {
        strWhy = "the encrypted file is truncated";
        return HVNC_CORRUPT;
    }
    if (bLastBlock && !AtEof()) {
        strWhy = "the encrypted file has extra bytes after its last chunk";
        return HVNC_CORRUPT;
    }
    return HVNC_OK;
}

int CPipe::Crypt(SBlock& b, std::string& strWhy)
{
    for (std::size_t i = 0; i < b.nChunks; ++i) {
        const std::uint64_t c = b.nFirst + i;
        const std::size_t nLen = PlainLen(c);
        std::uint8_t* p = b.buf.data() + i * kStride;
        const bool bLast = c + 1 == m_nChunks;
        if (m_job.bEncrypt) {
            if (!m_job.pCipher->SealChunk(c, bLast, p, nLen, p + nLen)) {
                strWhy = "encryption failed";
                return HVNC_FAILED;
            }
        } else if (!m_job.pCipher->OpenChunk(c, bLast, p, nLen, p + nLen)) {
            strWhy = "chunk " + std::to_string(c) + " failed authentication (damaged, reordered or cut)";
            return HVNC_CORRUPT;
        }
    }
    return HVNC_OK;
}

int CPipe::Write(SBlock& b, std::string& strWhy)
{
    if (m_job.pStop != nullptr && m_job.pStop->IsSet()) {
        strWhy = "cancelled";
        return HVNC_CANCELLED;
    }
    const std::size_t nPlain = BlockPlain(b);
    int nRet = HVNC_OK;
    if (m_job.bDiscard) {
        // verification: the plain text goes nowhere
    } else if (m_job.bEncrypt) {
        iovec v[2] = {{const_cast<std::uint8_t*>(m_job.pPrefix), b.nFirst == 0 ? m_job.nPrefix : 0},
                      {b.buf.data(), b.buf.size()}};
        nRet = v[0].iov_len != 0 ? HvncIo::WriteAll(m_job.fdOut, v, 2, strWhy)
                                 : HvncIo::WriteAll(m_job.fdOut, b.buf.data(), b.buf.size(), strWhy);
    } else if (m_job.pMem != nullptr) {
        for (std::size_t i = 0; i < b.nChunks; ++i) {
            const std::uint8_t* p = b.buf.data() + i * kStride;
            m_job.pMem->insert(m_job.pMem->end(), p, p + PlainLen(b.nFirst + i));
        }
    } else {
        iovec v[kChunksPerBlock];
        int nV = 0;
        for (std::size_t i = 0; i < b.nChunks && nRet == HVNC_OK; ++i) {
            std::uint8_t* p = b.buf.data() + i * kStride;
            const std::size_t nLen = PlainLen(b.nFirst + i);
            if (m_job.bSparse && IsZero(p, nLen)) {
                // A hole instead of zeros: the output is new and empty, so it reads back as zeros.
                nRet = nV > 0 ? HvncIo::WriteAll(m_job.fdOut, v, nV, strWhy) : HVNC_OK;
                nV = 0;
                if (nRet == HVNC_OK && ::lseek(m_job.fdOut, static_cast<off_t>(nLen), SEEK_CUR) < 0) {
                    strWhy = "cannot seek in the output";
                    nRet = HVNC_IO_ERROR;
                }
                continue;
            }
            v[nV].iov_base = p;
            v[nV].iov_len = nLen;
            ++nV;
        }
        if (nRet == HVNC_OK && nV > 0) {
            nRet = HvncIo::WriteAll(m_job.fdOut, v, nV, strWhy);
        }
    }
    if (nRet == HVNC_OK && m_job.pSink != nullptr && *m_job.pSink && nPlain != 0) {
        (*m_job.pSink)(static_cast<std::uint32_t>(nPlain));
    }
    return nRet;
}

int CPipe::Run(std::string& strWhy)
{
    if (m_nBlocks == 1) {
        SBlock b;
        int nRet = Read(b, 0, strWhy);
        if (nRet == HVNC_OK) {
            nRet = Crypt(b, strWhy);
        }
        if (nRet == HVNC_OK) {
            nRet = Write(b, strWhy);
        }
        return nRet;
    }

    ::posix_fadvise(m_job.fdIn, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::vector<SBlock> slots(kSlots);
    std::mutex mu;
    std::condition_variable cv;
    std::uint64_t done[3] = {0, 0, 0};
    int nErr = HVNC_OK;
    std::string strErr;

    auto stage = [&](int s) {
        for (std::uint64_t nBlock = 0; nBlock < m_nBlocks; ++nBlock) {
            {
                std::unique_lock lock(mu);
                cv.wait(lock,
                        [&] { return nErr != HVNC_OK || (s == 0 ? nBlock - done[2] < kSlots : done[s - 1] > nBlock); });
                if (nErr != HVNC_OK) {
                    return;
                }
            }
            SBlock& b = slots[nBlock % kSlots];
            std::string strStageWhy;
            const int nRet = s == 0   ? Read(b, nBlock, strStageWhy)
                             : s == 1 ? Crypt(b, strStageWhy)
                                      : Write(b, strStageWhy);
            {
                std::lock_guard lock(mu);
                if (nRet != HVNC_OK) {
                    if (nErr == HVNC_OK) {
                        nErr = nRet;
                        strErr = strStageWhy;
                    }
                } else {
                    done[s] = nBlock + 1;
                }
            }
            cv.notify_all();
            if (nRet != HVNC_OK) {
                return;
            }
        }
    };
    std::thread reader;
    std::thread sealer;
    try {
        reader = std::thread(stage, 0);
        sealer = std::thread(stage, 1);
    } catch (const std::system_error&) {
        {
            std::lock_guard lock(mu);
            nErr = HVNC_FAILED;
            strErr = "cannot start the worker threads";
        }
        cv.notify_all();
    }
    if (sealer.joinable()) {
        stage(2);
    }
    if (reader.joinable()) {
        reader.join();
    }
    if (sealer.joinable()) {
        sealer.join();
    }
    strWhy = strErr;
    return nErr;
}

}  // namespace

int HvncRunStream(const SHvncStreamJob& job, std::string& strWhy)
{
    if (job.pCipher == nullptr || job.fdIn < 0 || (job.fdOut < 0 && job.pMem == nullptr && !job.bDiscard)) {
        strWhy = "bad stream arguments";
        return HVNC_FAILED;
    }
    CPipe pipe(job);
    return pipe.Run(strWhy);
}
