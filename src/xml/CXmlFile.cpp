#include "xml/CXmlFile.h"

#include "globalfuncs/HVDurableFile.h"
#include "globalfuncs/HVPathText.h"
#include "globalfuncs/HVUniqueFd.h"
#include "xml/XmlUtf.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kChunk = size_t{1} << 20;

QString ErrnoText(int nErr)
{
    return QString::fromLocal8Bit(std::strerror(nErr));
}

bool WriteFull(int fd, const char* p, size_t nSize)
{
    const int nErr = HVDurableFile::WriteAll(fd, std::string_view(p, nSize));
    errno = nErr;
    return nErr == 0;
}

// Writes the text body: UTF-16LE or UTF-8, chunk by chunk. Adds the byte count to nBytes.
bool WriteBody(int fd, const std::u16string& strText, bool bUtf16, uint64_t& nBytes)
{
    std::vector<char> buf;
    size_t i = 0;
    while (i < strText.size()) {
        size_t n = std::min(kChunk / 4, strText.size() - i);
        if (i + n < strText.size() && strText[i + n - 1] >= 0xD800 && strText[i + n - 1] <= 0xDBFF) {
            --n;  // keep a surrogate pair together
        }
        if (n == 0) {
            n = 1;
        }
        if (bUtf16) {
            buf.resize(n * 2);
            for (size_t k = 0; k < n; ++k) {
                buf[2 * k] = static_cast<char>(strText[i + k] & 0xFF);
                buf[2 * k + 1] = static_cast<char>(strText[i + k] >> 8);
            }
        } else {
            buf.resize(Utf16ToUtf8(strText.data() + i, n, nullptr));
            buf.resize(Utf16ToUtf8(strText.data() + i, n, buf.data()));
        }
        if (!WriteFull(fd, buf.data(), buf.size())) {
            return false;
        }
        nBytes += buf.size();
        i += n;
    }
    return true;
}

}  // namespace

bool CXmlFile::Read(
    const QString& strPath, std::u16string& strText, uint32_t& nDocFlags, QString& strDescription, QString& strError)
{
    const QByteArray path = HVGlobalMFC::HVPathToBytes(strPath);
    // Non-blocking open, so that a FIFO put in the file's place cannot stall the caller; only
    // regular files are read.
    HVUniqueFd fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        strError = ErrnoText(errno);
        return false;
    }
    struct stat st = {};
    if (::fstat(fd.Get(), &st) != 0) {
        strError = ErrnoText(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        strError = ErrnoText(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        return false;
    }
    const auto nSizeHint = static_cast<uint64_t>(st.st_size);
    if (nSizeHint > kMaxFileSize) {
        strError = ErrnoText(EFBIG);
        return false;
    }
    std::vector<char> buf(kChunk + 4);
    const ssize_t nHead = HVDurableFile::ReadFull(fd.Get(), buf.data(), 3);
    if (nHead < 0) {
        strError = ErrnoText(errno);
        return false;
    }
    const auto* u = reinterpret_cast<const unsigned char*>(buf.data());
    size_t nCarry = static_cast<size_t>(nHead);
    QString strPrefix;
    bool bUtf16 = false;
    nDocFlags &= ~(kUtf16LeBom | kUtf8Bom);
    if (nHead == 3 && u[0] == 0xEF && u[1] == 0xBB && u[2] == 0xBF) {
        nDocFlags |= kUtf8Bom;
        strPrefix = QStringLiteral("UTF-8 BOM + ");
        nCarry = 0;
    } else if (nHead >= 2 && u[0] == 0xFF && u[1] == 0xFE) {
        nDocFlags |= kUtf16LeBom;
        strPrefix = QStringLiteral("UTF-16LE BOM + ");
        bUtf16 = true;
        buf[0] = buf[2];
        nCarry -= 2;
    }
    strText.clear();
    strText.reserve(bUtf16 ? nSizeHint / 2 : nSizeHint);
    uint64_t nBytes = nCarry;  // bytes after the mark
    for (;;) {
        const ssize_t n = HVDurableFile::ReadFull(fd.Get(), buf.data() + nCarry, kChunk);
        if (n < 0) {
            strError = ErrnoText(errno);
            return false;
        }
        nBytes += static_cast<uint64_t>(n);
        if (nBytes > kMaxFileSize) {
            strError = ErrnoText(EFBIG);
            return false;
        }
        const size_t nAvail = nCarry + static_cast<size_t>(n);
        const bool bEnd = static_cast<size_t>(n) < kChunk;
        size_t nUsed = 0;
        if (bUtf16) {
            const size_t nUnits = nAvail / 2;
            const size_t nOld = strText.size();
            strText.resize(nOld + nUnits);
            for (size_t k = 0; k < nUnits; ++k) {
                strText[nOld + k] = static_cast<char16_t>(static_cast<unsigned char>(buf[2 * k])
                                                          | (static_cast<unsigned char>(buf[2 * k + 1]) << 8));
            }
            nUsed = nUnits * 2;
        } else {
            const size_t nOld = strText.size();
            strText.resize(nOld + nAvail);
            const size_t nUnits = Utf8ToUtf16Chunk(buf.data(), nAvail, strText.data() + nOld, bEnd, &nUsed);
            strText.resize(nOld + nUnits);
        }
        if (bEnd) {
            break;
        }
        nCarry = nAvail - nUsed;
        std::memmove(buf.data(), buf.data() + nUsed, nCarry);
    }
    if (bUtf16) {
        strDescription = QStringLiteral("%1%2 wide chars").arg(strPrefix, QString::number(strText.size()));
    } else {
        strDescription = QStringLiteral("%1%2 bytes to %3 wide chars")
                             .arg(strPrefix, QString::number(nBytes), QString::number(strText.size()));
    }
    return true;
}

bool CXmlFile::Write(const QString& strPath,
                     const std::u16string& strText,
                     uint32_t nDocFlags,
                     QString& strDescription,
                     QString& strError,
                     int nMode)
{
    const QByteArray path = HVGlobalMFC::HVPathToBytes(strPath);
    const qsizetype nSlash = path.lastIndexOf('/');
    const QByteArray dir = nSlash < 0 ? QByteArray(".") : (nSlash == 0 ? QByteArray("/") : path.left(nSlash));
    const QByteArray base = path.mid(nSlash + 1);
    if (base.isEmpty()) {
        strError = ErrnoText(EISDIR);
        return false;
    }
    HVDurableFile::SOptions opt;
    struct stat st = {};
    if (nMode >= 0) {
        opt.nMode = static_cast<mode_t>(nMode & 07777);
        opt.eModes = HVDurableFile::EModes::BestEffort;
    } else if (::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode)) {
        opt.nMode = st.st_mode & 07777;  // a rewrite keeps the file's modes
        opt.eModes = HVDurableFile::EModes::BestEffort;
    } else {
        opt.nMode = 0666;
        opt.eModes = HVDurableFile::EModes::Umask;
    }
    const bool bUtf16 = nDocFlags & kUtf16LeBom;
    uint64_t nBytes = 0;
    QString strPrefix;
    const auto fill = [&](int fd) {
        bool bOk = true;
        if (bUtf16) {
            strPrefix = QStringLiteral("UTF-16LE BOM + ");
            bOk = WriteFull(fd, "\xFF\xFE", 2);
        } else if (nDocFlags & kUtf8Bom) {
            strPrefix = QStringLiteral("UTF-8 BOM + ");
            bOk = WriteFull(fd, "\xEF\xBB\xBF", 3);
        }
        return bOk && WriteBody(fd, strText, bUtf16, nBytes) ? 0 : (errno != 0 ? errno : EIO);
    };
    const HVUniqueFd dirFd(::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int nErr = dirFd.Get() < 0 ? errno : HVDurableFile::WriteAt(dirFd.Get(), base.toStdString(), fill, opt);
    if (nErr != 0) {
        strError = ErrnoText(nErr);
        return false;
    }
    if (bUtf16) {
        strDescription = QStringLiteral("%1%2 wide chars").arg(strPrefix, QString::number(strText.size()));
    } else {
        strDescription = QStringLiteral("%1 wide chars to %2%3 bytes")
                             .arg(QString::number(strText.size()), strPrefix, QString::number(nBytes));
    }
    return true;
}
