// The backup filter over files: read whole as bytes, filtered, written beside the target and
// renamed into place.

#include "globalfuncs/CBackupFilterManager.h"
#include "globalfuncs/HVDurableFile.h"
#include "globalfuncs/HVInternal.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace HVGlobalMFC;

namespace {

constexpr qint64 kMaxFileBytes = qint64(1) << 30;

QStringList AsBytes(const QStringList& list)
{
    QStringList out;
    out.reserve(list.size());
    for (const QString& s : list)
        out.append(QString::fromLatin1(s.toUtf8()));
    return out;
}

QString AsBytes(const QString& s)
{
    return QString::fromLatin1(s.toUtf8());
}

// UTF-16 that decodes to characters: no surrogate without its partner.
bool PairedSurrogates(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            return false;
    }
    return true;
}

// Reads the whole regular file at path, not following a link there. False with errno set.
bool ReadRegularFile(const QByteArray& path, QByteArray& bytes, mode_t& mode)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && (!S_ISREG(st.st_mode) || st.st_size > kMaxFileBytes)) {
        errno = S_ISREG(st.st_mode) ? EFBIG : EINVAL;
        ok = false;
    }
    mode = st.st_mode & 07777;
    char buf[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.append(buf, n);
        if (bytes.size() > kMaxFileBytes) {
            errno = EFBIG;
            ok = false;
        }
    }
    const int err = errno;
    ::close(fd);
    errno = err;
    return ok;
}

// Writes bytes under a temporary name beside target, then renames it over target. An existing
// target must be a regular file: a link there is refused, not replaced.
bool ReplaceFile(const QByteArray& target, const QByteArray& bytes, mode_t mode)
{
    struct stat st
    {
    };
    if (::lstat(target.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return false;
    }
    HVDurableFile::SOptions opt;
    opt.nMode = mode;
    const int err = HVDurableFile::Write(target.toStdString(), std::string_view(bytes.constData(), bytes.size()), opt);
    errno = err;
    return err == 0;
}

}  // namespace

CBackupFilterManager CBackupFilterManager::ByteFilter() const
{
    CBackupFilterManager bytes(*this);
    bytes.m_arrPlaceholders = AsBytes(m_arrPlaceholders);
    bytes.m_arrValues = AsBytes(m_arrValues);
    bytes.m_arrOtherNames = AsBytes(m_arrOtherNames);
    bytes.m_arrOtherValues = AsBytes(m_arrOtherValues);
    bytes.m_strAppPath = AsBytes(m_strAppPath);
    bytes.m_strAppPathExe = AsBytes(m_strAppPathExe);
    bytes.m_strUserName = AsBytes(m_strUserName);
    bytes.m_strComputerName = AsBytes(m_strComputerName);
    return bytes;
}

bool CBackupFilterManager::FilterBytes(QByteArray& bytes, bool reverse, bool withAppPaths, bool doubleBackslashes) const
{
    const bool bLittle = bytes.startsWith(QByteArray("\xFF\xFE", 2));
    const bool bBig = bytes.startsWith(QByteArray("\xFE\xFF", 2));
    if (bLittle || bBig) {
        const auto encoding = bLittle ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
        if (bytes.size() % 2 != 0)
            return false;
        QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
        QString text = decoder.decode(QByteArrayView(bytes).sliced(2));
        if (decoder.hasError() || !PairedSurrogates(text))
            return false;
        (void)(reverse ? FilterString_Reverse(text) : FilterString(text, withAppPaths, doubleBackslashes));
        QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
        bytes = bytes.left(2) + QByteArray(encoder.encode(text));
        return !encoder.hasError();
    }
    // Anything else is bytes: one character a byte, with the names and values as their UTF-8
    // bytes, so a mark, Latin-1 text and line ends come back exactly as they were.
    QString text = QString::fromLatin1(bytes);
    const CBackupFilterManager filter = ByteFilter();
    (void)(reverse ? filter.FilterString_Reverse(text) : filter.FilterString(text, withAppPaths, doubleBackslashes));
    bytes = text.toLatin1();
    return true;
}

int CBackupFilterManager::RewriteFile(
    const QString& source, const QString& target, bool reverse, bool withAppPaths, bool doubleBackslashes) const
{
    QByteArray bytes;
    mode_t mode = 0600;
    if (!ReadRegularFile(detail::Native(source), bytes, mode)) {
        HV_LOG(1,
               QString::asprintf("Failed to open/read file: %s (%s)",
                                 qUtf8Printable(source),
                                 qUtf8Printable(detail::SysErrorText(errno))));
        return 0;
    }
    const QByteArray before = bytes;
    if (!FilterBytes(bytes, reverse, withAppPaths, doubleBackslashes)) {
        HV_LOG(1, QString::asprintf("Failed to open/read file: %s (not valid UTF-16)", qUtf8Printable(source)));
        return 0;
    }
    if (bytes == before && source == target)
        return 1;
    if (!ReplaceFile(detail::Native(target), bytes, mode)) {
        HV_LOG(1,
               QString::asprintf("Failed to open/write file: %s (%s)",
                                 qUtf8Printable(target),
                                 qUtf8Printable(detail::SysErrorText(errno))));
        return 0;
    }
    return 1;
}
