#pragma once

#include <atomic>
#include <concepts>
#include <cstdarg>
#include <mutex>
#include <string>
#include <string_view>

// The program's log writer.
//
// One global writer, LOGGER::g_HVLog, is given a file name and started at start-up only when
// the user switched logging on; until StartLogging has succeeded every call returns at once
// and writes nothing. Each call writes exactly one line:
//
//   2026-12-08 00:06:43.123 [4711] Config File Loaded
//   2026-12-08 00:06:43.124 [4711] [sev 0] Secure through command line (CHalvoDataSecurityApp.cpp:212)
//
// that is local time with milliseconds, the kernel thread id in brackets, and the text. Line
// breaks and other control characters inside a message are written as escapes (\n, \r, \xHH),
// so one call can never forge a second line. Lines are appended with one write() each to a
// file opened with O_APPEND and mode 0600, under a mutex: threads (and processes) never mix
// their text within a line. The log folder is created (mode 0700) when it is missing.
//
// Callers must never pass a password or any other secret: the log is a plain file.
namespace LOGGER {

// Severities of WriteLog.
enum : int
{
    HV_LOG_NOTE = 0,   // a note
    HV_LOG_MINOR = 1,  // a minor failure
    HV_LOG_ERROR = 3,  // an error
};

class CHVLog
{
public:
    constexpr CHVLog() noexcept = default;
    ~CHVLog();

    CHVLog(const CHVLog&) = delete;
    CHVLog& operator=(const CHVLog&) = delete;

    // The log file. Wide text is taken as Unicode, narrow text as UTF-8 (the native path
    // bytes). Given while logging, the writer moves on to the new file at once.
    void SetFileName(std::wstring_view strPath);
    void SetFileName(const std::wstring& strPath) { SetFileName(std::wstring_view(strPath)); }
    void SetFileName(const wchar_t* pszPath) { SetFileName(std::wstring_view(pszPath ? pszPath : L"")); }
    void SetFileNameUtf8(std::string_view strPath);
    void SetFileName(const std::string& strPath) { SetFileNameUtf8(strPath); }
    void SetFileName(const char* pszPath) { SetFileNameUtf8(pszPath ? pszPath : ""); }
    // Any string class with toStdWString(), QString among them, without this library linking Qt.
    template <typename T>
    requires requires(const T& s)
    {
        {
            s.toStdWString()
            } -> std::convertible_to<std::wstring>;
    }
    void SetFileName(const T& strPath) { SetFileName(std::wstring(strPath.toStdWString())); }
    [[nodiscard]] std::string GetFileName() const;

    // Opens (creates) the file for appending. False when no name was given or the file cannot
    // be opened; logging then stays off.
    [[nodiscard]] bool StartLogging();
    // Closes the file; later calls write nothing until the next StartLogging.
    void StopLogging();
    [[nodiscard]] bool IsLogging() const noexcept { return m_bOn.load(std::memory_order_acquire); }

    // One printf-style line.
    void Log(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    void Log(const wchar_t* pszFormat, ...);
    void VLog(const char* pszFormat, va_list args);
    void VLog(const wchar_t* pszFormat, va_list args);
    // One line of text as it stands (no format characters are interpreted).
    void LogText(std::string_view strText);

    // "[sev N] message (file:line) extra": the file is reduced to its name; the extra text is
    // left out when empty.
    void WriteLog(
        const char* pszMessage, int nSeverity, const char* pszSourceFile, int nLine, const char* pszExtra = nullptr);
    void WriteLog(const wchar_t* pszMessage,
                  int nSeverity,
                  const char* pszSourceFile,
                  int nLine,
                  const wchar_t* pszExtra = nullptr);

private:
    void WriteBody(std::string_view strBody);
    bool OpenLocked();
    void CloseLocked();

    mutable std::mutex m_mutex;
    std::string m_strPath;
    int m_fd = -1;
    std::atomic<bool> m_bOn{false};
};

// The program's one log writer.
// clang before 15 cannot evaluate the standard library's std::string constructor at compile
// time; there the log object is made first among the program's start-up objects instead.
#if defined(__clang__) && __clang_major__ < 15
#define HV_LOG_CONSTINIT [[gnu::init_priority(101)]]
#else
#define HV_LOG_CONSTINIT constinit
#endif

extern CHVLog g_HVLog;

}  // namespace LOGGER

// WriteLog with the caller's source location.
#define HV_WRITE_LOG(message, severity) ::LOGGER::g_HVLog.WriteLog((message), (severity), __FILE__, __LINE__)
