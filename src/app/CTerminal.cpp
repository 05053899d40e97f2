#include "app/CTerminal.h"

#include "globalfuncs/HVPathText.h"
#include "passwords/HVWipeText.h"

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

void WriteAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype n = bytes.size();
    while (n > 0) {
        const ssize_t nDone = ::write(fd, p, static_cast<size_t>(n));
        if (nDone <= 0) {
            return;
        }
        p += nDone;
        n -= nDone;
    }
}

constexpr std::size_t kMaxLine = 4096;

}  // namespace

CTerminal::CTerminal()
{
    m_fdTty = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
}

CTerminal::~CTerminal()
{
    if (m_fdTty >= 0) {
        ::close(m_fdTty);
    }
}

void CTerminal::Wipe(QString& str)
{
    HVWipeText(str);
}

bool CTerminal::ReadHidden(const QString& strPrompt, QString& strOut)
{
    return ReadTty(strPrompt, true, strOut);
}

bool CTerminal::ReadLine(const QString& strPrompt, QString& strOut)
{
    return ReadTty(strPrompt, false, strOut);
}

bool CTerminal::ReadTty(const QString& strPrompt, bool bHidden, QString& strOut)
{
    strOut.clear();
    std::lock_guard guard(m_lock);
    if (m_fdTty < 0) {
        return false;
    }
    ClearProgressLocked();
    WriteAll(m_fdTty, HVGlobalMFC::HVPathDisplay(strPrompt).toUtf8());

    termios saved{};
    const bool bHaveAttr = ::tcgetattr(m_fdTty, &saved) == 0;
    if (bHidden && bHaveAttr) {
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        quiet.c_lflag |= ECHONL;
        (void)::tcsetattr(m_fdTty, TCSAFLUSH, &quiet);
    }
    // Byte by byte into a buffer that is wiped afterwards: the line may be a password.
    std::string line;
    line.reserve(kMaxLine);
    bool bOk = false;
    char c = 0;
    while (line.size() < kMaxLine) {
        const ssize_t n = ::read(m_fdTty, &c, 1);
        if (n <= 0) {
            break;
        }
        if (c == '\n') {
            bOk = true;
            break;
        }
        line.push_back(c);
    }
    if (bHidden && bHaveAttr) {
        (void)::tcsetattr(m_fdTty, TCSAFLUSH, &saved);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (bOk) {
        strOut = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    }
    std::fill(line.begin(), line.end(), '\0');
    return bOk;
}

void CTerminal::Message(const QString& strText)
{
    std::lock_guard guard(m_lock);
    ClearProgressLocked();
    // Names that are not UTF-8 are shown with U+FFFD where their bytes cannot be.
    WriteAll(STDERR_FILENO, HVGlobalMFC::HVPathDisplay(strText + u'\n').toUtf8());
}

void CTerminal::Progress(int nCurrent, int nOverall, const QString& strStatus)
{
    if (!m_bProgress) {
        return;
    }
    constexpr int kWidth = 30;
    const int nFilled = qBound(0, nOverall, 100) * kWidth / 100;
    QString strLine = QStringLiteral("\r[") + QString(nFilled, u'#') + QString(kWidth - nFilled, u'.')
                      + QStringLiteral("] %1% (file %2%) ").arg(nOverall, 3).arg(nCurrent, 3);
    QString strShort = strStatus.simplified();
    if (strShort.size() > 40) {
        strShort = QStringLiteral("...") + strShort.right(37);
    }
    strLine += strShort + QStringLiteral("\x1b[K");
    std::lock_guard guard(m_lock);
    WriteAll(STDERR_FILENO, HVGlobalMFC::HVPathDisplay(strLine).toUtf8());
    m_bProgressShown = true;
}

void CTerminal::EndProgress()
{
    std::lock_guard guard(m_lock);
    ClearProgressLocked();
}

void CTerminal::ClearProgressLocked()
{
    if (m_bProgressShown) {
        WriteAll(STDERR_FILENO, QByteArrayLiteral("\r\x1b[K"));
        m_bProgressShown = false;
    }
}
