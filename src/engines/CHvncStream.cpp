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

    SHvncResult Run();

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
    SHvncResult Read(SBlock& b, std::uint64_t nBlock);
    SHvncResult Crypt(SBlock& b);
    SHvncResult Write(SBlock& b);

    const SHvncStreamJob& m_job;
    const std::uint64_t m_nChunks;
    const std::uint64_t m_nBlocks;
};

SHvncResult CPipe::Read(SBlock& b, std::uint64_t nBlock)
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
            return {EHvnc::IoError, "reading the source failed"};
        }
        if (static_cast<std::size_t>(n) != nWant || (bLastBlock && !AtEof())) {
            return {EHvnc::Changed, "the source changed size while it was being encrypted"};
        }
        return {};
    }
    const ssize_t n = HvncIo::ReadFull(m_job.fdIn, b.buf.data(), b.buf.size());
    if (n < 0) {
        return {EHvnc::IoError, "reading the encrypted file failed"};
    }
    if (static_cast<std::size_t>(n) != b.buf.size()) {
        return {EHvnc::Corrupt, "the encrypted file is truncated"};
    }
    if (bLastBlock && !AtEof()) {
        return {EHvnc::Corrupt, "the encrypted file has extra bytes after its last chunk"};
    }
    return {};
}

SHvncResult CPipe::Crypt(SBlock& b)
{
    for (std::size_t i = 0; i < b.nChunks; ++i) {
        const std::uint64_t c = b.nFirst + i;
        const std::size_t nLen = PlainLen(c);
        std::uint8_t* p = b.buf.data() + i * kStride;
        const bool bLast = c + 1 == m_nChunks;
        if (m_job.bEncrypt) {
            if (!m_job.pCipher->SealChunk(c, bLast, p, nLen, p + nLen)) {
                return {EHvnc::Failed, "encryption failed"};
            }
        } else if (!m_job.pCipher->OpenChunk(c, bLast, p, nLen, p + nLen)) {
            return {EHvnc::Corrupt,
                    "chunk " + std::to_string(c) + " failed authentication (damaged, reordered or cut)"};
        }
    }
    return {};
}

SHvncResult CPipe::Write(SBlock& b)
{
    if (m_job.pStop != nullptr && m_job.pStop->IsSet()) {
        return {EHvnc::Cancelled, "cancelled"};
    }
    const std::size_t nPlain = BlockPlain(b);
    SHvncResult r;
    if (m_job.bDiscard) {
        // verification: the plain text goes nowhere
    } else if (m_job.bEncrypt) {
        iovec v[2] = {{const_cast<std::uint8_t*>(m_job.pPrefix), b.nFirst == 0 ? m_job.nPrefix : 0},
                      {b.buf.data(), b.buf.size()}};
        r = v[0].iov_len != 0 ? HvncIo::WriteAll(m_job.fdOut, v, 2)
                              : HvncIo::WriteAll(m_job.fdOut, b.buf.data(), b.buf.size());
    } else if (m_job.pMem != nullptr) {
        for (std::size_t i = 0; i < b.nChunks; ++i) {
            const std::uint8_t* p = b.buf.data() + i * kStride;
            m_job.pMem->insert(m_job.pMem->end(), p, p + PlainLen(b.nFirst + i));
        }
    } else {
        iovec v[kChunksPerBlock];
        int nV = 0;
        for (std::size_t i = 0; i < b.nChunks && r.Ok(); ++i) {
            std::uint8_t* p = b.buf.data() + i * kStride;
            const std::size_t nLen = PlainLen(b.nFirst + i);
            if (m_job.bSparse && IsZero(p, nLen)) {
                // A hole instead of zeros: the output is new and empty, so it reads back as zeros.
                if (nV > 0) {
                    r = HvncIo::WriteAll(m_job.fdOut, v, nV);
                }
                nV = 0;
                if (r.Ok() && ::lseek(m_job.fdOut, static_cast<off_t>(nLen), SEEK_CUR) < 0) {
                    r = {EHvnc::IoError, "cannot seek in the output"};
                }
                continue;
            }
            v[nV].iov_base = p;
            v[nV].iov_len = nLen;
            ++nV;
        }
        if (r.Ok() && nV > 0) {
            r = HvncIo::WriteAll(m_job.fdOut, v, nV);
        }
    }
    if (r.Ok() && m_job.pSink != nullptr && *m_job.pSink && nPlain != 0) {
        (*m_job.pSink)(static_cast<std::uint32_t>(nPlain));
    }
    return r;
}

SHvncResult CPipe::Run()
{
    if (m_nBlocks == 1) {
        SBlock b;
        SHvncResult r = Read(b, 0);
        if (r.Ok()) {
            r = Crypt(b);
        }
        if (r.Ok()) {
            r = Write(b);
        }
        return r;
    }

    ::posix_fadvise(m_job.fdIn, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::vector<SBlock> slots(kSlots);
    std::mutex mu;
    std::condition_variable cv;
    std::uint64_t done[3] = {0, 0, 0};
    SHvncResult err;

    auto stage = [&](int s) {
        for (std::uint64_t nBlock = 0; nBlock < m_nBlocks; ++nBlock) {
            {
                std::unique_lock lock(mu);
                cv.wait(lock, [&] { return !err.Ok() || (s == 0 ? nBlock - done[2] < kSlots : done[s - 1] > nBlock); });
                if (!err.Ok()) {
                    return;
                }
            }
            SBlock& b = slots[nBlock % kSlots];
            SHvncResult r = s == 0 ? Read(b, nBlock) : s == 1 ? Crypt(b) : Write(b);
            const bool bOk = r.Ok();
            {
                std::lock_guard lock(mu);
                if (!bOk) {
                    if (err.Ok()) {
                        err = std::move(r);
                    }
                } else {
                    done[s] = nBlock + 1;
                }
            }
            cv.notify_all();
            if (!bOk) {
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
            err = {EHvnc::Failed, "cannot start the worker threads"};
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
    return err;
}

}  // namespace

SHvncResult HvncRunStream(const SHvncStreamJob& job)
{
    if (job.pCipher == nullptr || job.fdIn < 0 || (job.fdOut < 0 && job.pMem == nullptr && !job.bDiscard)) {
        return {EHvnc::Failed, "bad stream arguments"};
    }
    CPipe pipe(job);
    return pipe.Run();
}
