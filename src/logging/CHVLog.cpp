#include "logging/CHVLog.h"

#include "logging/HVLogText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace LOGGER {

HV_LOG_CONSTINIT CHVLog g_HVLog;

namespace {

// mkdir -p with mode 0700 for what it creates.
bool EnsureFolder(const std::string& strFolder)
{
    if (strFolder.empty()) {
        return true;
    }
    for (size_t pos = 1; pos <= strFolder.size(); ++pos) {
        if (pos != strFolder.size() && strFolder[pos] != '/') {
            continue;
        }
        const std::string strPart = strFolder.substr(0, pos);
        if (::mkdir(strPart.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    struct stat st
    {
    };
    return ::stat(strFolder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string_view BaseName(const char* pszPath)
{
    if (pszPath == nullptr) {
        return {};
    }
    std::string_view strPath(pszPath);
    const size_t slash = strPath.find_last_of("/\\");
    return slash == std::string_view::npos ? strPath : strPath.substr(slash + 1);
}

std::string SeverityLine(
    int nSeverity, std::string_view strMessage, const char* pszSourceFile, int nLine, std::string_view strExtra)
{
    std::string strBody = "[sev " + std::to_string(nSeverity) + "] ";
    strBody += strMessage;
    strBody += " (";
    strBody += BaseName(pszSourceFile);
    strBody += ':';
    strBody += std::to_string(nLine);
    strBody += ')';
    if (!strExtra.empty()) {
        strBody += ' ';
        strBody += strExtra;
    }
    return strBody;
}

}  // namespace

CHVLog::~CHVLog()
{
    std::lock_guard lock(m_mutex);
    CloseLocked();
}

void CHVLog::SetFileName(std::wstring_view strPath)
{
    SetFileNameUtf8(HVLogText::ToUtf8(strPath));
}

void CHVLog::SetFileNameUtf8(std::string_view strPath)
{
    std::lock_guard lock(m_mutex);
    m_strPath.assign(strPath);
    if (m_fd >= 0) {
        CloseLocked();
        OpenLocked();
    }
}

std::string CHVLog::GetFileName() const
{
    std::lock_guard lock(m_mutex);
    return m_strPath;
}

bool CHVLog::StartLogging()
{
    std::lock_guard lock(m_mutex);
    return m_fd >= 0 || OpenLocked();
}

void CHVLog::StopLogging()
{
    std::lock_guard lock(m_mutex);
    CloseLocked();
}

bool CHVLog::OpenLocked()
{
    if (m_strPath.empty()) {
        return false;
    }
    const size_t slash = m_strPath.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !EnsureFolder(m_strPath.substr(0, slash))) {
        return false;
    }
    // Only a plain file of its own: a link at the log path is not followed, a FIFO or device there
    // is refused without waiting for a reader, and a file with other names is not written into.
    const int fd =
        ::open(m_strPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        return false;
    }
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
        ::close(fd);
        return false;
    }
    (void)::fcntl(fd, F_SETFL, O_APPEND);
    // A file left by an older run keeps no wider rights than a new one.
    if ((st.st_mode & 077) != 0 && st.st_uid == ::geteuid()) {
        (void)::fchmod(fd, 0600);
    }
    m_fd = fd;
    m_bOn.store(true, std::memory_order_release);
    return true;
}

void CHVLog::CloseLocked()
{
    m_bOn.store(false, std::memory_order_release);
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void CHVLog::WriteBody(std::string_view strBody)
{
    std::string strLine = HVLogText::LinePrefix();
    strLine.reserve(strLine.size() + strBody.size() + 16);
    HVLogText::AppendOneLine(strLine, strBody);
    strLine += '\n';

    std::lock_guard lock(m_mutex);
    if (m_fd < 0) {
        return;
    }
    const char* p = strLine.data();
    size_t nLeft = strLine.size();
    while (nLeft > 0) {
        const ssize_t n = ::write(m_fd, p, nLeft);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;  // a full disk loses log lines, never the program's work
        }
        p += n;
        nLeft -= static_cast<size_t>(n);
    }
}

void CHVLog::Log(const char* pszFormat, ...)
{
    if (!IsLogging()) {
        return;
    }
    va_list args;
    va_start(args, pszFormat);
    VLog(pszFormat, args);
    va_end(args);
}

void CHVLog::Log(const wchar_t* pszFormat, ...)
{
    if (!IsLogging()) {
        return;
    }
    va_list args;
    va_start(args, pszFormat);
    VLog(pszFormat, args);
    va_end(args);
}

void CHVLog::VLog(const char* pszFormat, va_list args)
{
    if (!IsLogging() || pszFormat == nullptr) {
        return;
    }
    WriteBody(HVLogText::FormatNarrow(pszFormat, args));
}

void CHVLog::VLog(const wchar_t* pszFormat, va_list args)
{
    if (!IsLogging() || pszFormat == nullptr) {
        return;
    }
    WriteBody(HVLogText::ToUtf8(HVLogText::FormatWide(pszFormat, args)));
}

void CHVLog::LogText(std::string_view strText)
{
    if (!IsLogging()) {
        return;
    }
    WriteBody(strText);
}

void CHVLog::WriteLog(const char* pszMessage, int nSeverity, const char* pszSourceFile, int nLine, const char* pszExtra)
{
    if (!IsLogging()) {
        return;
    }
    WriteBody(SeverityLine(nSeverity,
                           pszMessage ? std::string_view(pszMessage) : std::string_view(),
                           pszSourceFile,
                           nLine,
                           pszExtra ? std::string_view(pszExtra) : std::string_view()));
}

void CHVLog::WriteLog(
    const wchar_t* pszMessage, int nSeverity, const char* pszSourceFile, int nLine, const wchar_t* pszExtra)
{
    if (!IsLogging()) {
        return;
    }
    WriteBody(SeverityLine(nSeverity,
                           HVLogText::ToUtf8(pszMessage ? pszMessage : L""),
                           pszSourceFile,
                           nLine,
                           HVLogText::ToUtf8(pszExtra ? pszExtra : L"")));
}

}  // namespace LOGGER
