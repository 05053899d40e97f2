#include "engines/CWipeManager.h"

#include "engines/HVFastRandom.h"
#include "engines/HVWipePasses.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t kChunk = 1U << 20;  // bytes per write

// Writes all of [p, p + n) at nOffset.
bool WriteAll(int fd, const std::uint8_t* p, std::size_t n, off_t nOffset)
{
    while (n > 0) {
        const ssize_t nDone = pwrite(fd, p, n, nOffset);
        if (nDone < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (nDone == 0) {
            errno = EIO;
            return false;
        }
        p += nDone;
        n -= static_cast<std::size_t>(nDone);
        nOffset += nDone;
    }
    return true;
}

}  // namespace

CWipeManager::CWipeManager() = default;

CWipeManager::~CWipeManager() = default;

void CWipeManager::SetParent(HVProgressSink sink)
{
    m_sink = std::move(sink);
}

void CWipeManager::SetMethod(int nMethod)
{
    if (nMethod >= 0 && nMethod <= 2) {
        m_nMethod = nMethod;
    }
}

void CWipeManager::SetDoDParam(int nPassSet, std::string_view strPattern)
{
    m_nPassSet = nPassSet;
    m_pattern.clear();
    m_bPatternInvalid = false;
    if (nPassSet == 1) {
        m_bPatternInvalid = !HVParseWipePattern(strPattern, m_pattern);
    }
}

void CWipeManager::SetPassObserver(PassObserver fn)
{
    m_observer = std::move(fn);
}

int CWipeManager::GetPassCount() const
{
    return static_cast<int>(HVWipePasses(m_nMethod, m_pattern).size());
}

const std::string& CWipeManager::GetLastError() const
{
    return m_strLastError;
}

bool CWipeManager::WasWeakMedium() const
{
    return m_bWeakMedium;
}

const std::string& CWipeManager::GetWeakMediumReason() const
{
    return m_strWeakReason;
}

int CWipeManager::Record(const SHvncResult& r)
{
    m_nLastResult = HvncCode(r.eCode);
    m_strLastError = r.strReason;  // a success's reason is its warning
    return m_nLastResult;
}

bool CWipeManager::WritePasses(int fd,
                               std::uint64_t nFileSize,
                               const std::vector<HVWipePass>& passes,
                               HVFastRandom& rng,
                               const std::string& strPath,
                               std::string& strError)
{
    const auto nPassCount = static_cast<std::uint64_t>(passes.size());
    std::vector<std::uint8_t> buffer(kChunk + kHVWipeMaxPatternBytes);
    std::uint64_t nWrittenAll = 0;  // over every pass
    std::uint64_t nReported = 0;    // nWrittenAll / nPassCount, as told to the sink so far
    for (std::size_t nPass = 0; nPass < passes.size(); ++nPass) {
        const HVWipePass& pass = passes[nPass];
        const std::size_t nPatLen = pass.pattern.size();
        for (std::size_t i = 0; nPatLen > 0 && i < buffer.size(); ++i) {
            buffer[i] = pass.pattern[i % nPatLen];
        }
        for (std::uint64_t nOffset = 0; nOffset < nFileSize; nOffset += kChunk) {
            if (m_sigStop.IsSet()) {
                strError = "the wipe was stopped; the file was partly overwritten and was not removed";
                return false;
            }
            const auto nLen = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, nFileSize - nOffset));
            const std::uint8_t* pData = buffer.data();
            if (nPatLen > 0) {
                pData += nOffset % nPatLen;  // keep the pattern's phase across writes
            } else if (!rng.Fill(buffer.data(), nLen)) {
                strError = "the random generator failed";
                return false;
            }
            if (!WriteAll(fd, pData, nLen, static_cast<off_t>(nOffset))) {
                strError = "pass " + std::to_string(nPass + 1) + " could not be written: " + std::strerror(errno);
                return false;
            }
            // Start writing this chunk back now, so the pass's closing fdatasync finds little left.
            (void)sync_file_range(fd, static_cast<off_t>(nOffset), static_cast<off_t>(nLen), SYNC_FILE_RANGE_WRITE);
            nWrittenAll += nLen;
            const std::uint64_t nNow = nWrittenAll / nPassCount;
            if (m_sink && nNow > nReported) {
                m_sink(static_cast<std::uint32_t>(nNow - nReported));
            }
            nReported = nNow;
        }
        if (fdatasync(fd) != 0) {
            strError = "pass " + std::to_string(nPass + 1) + " could not be synced: " + std::strerror(errno);
            return false;
        }
        if (m_observer) {
            m_observer(static_cast<int>(nPass + 1), static_cast<int>(nPassCount), strPath);
        }
    }
    return true;
}
