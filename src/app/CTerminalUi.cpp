#include "app/CTerminalUi.h"

#include "app/CTerminal.h"
#include "globalfuncs/HVPathText.h"
#include "passwords/HVWipeText.h"
#include "resources/HVResourceStrings.h"
#include "security/CReportComposer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

CTerminalUi::CTerminalUi(CTerminal& terminal, QString strPasswordFile, QString strMasterPasswordFile, int nAnswer)
    : m_terminal(terminal)
    , m_strPasswordFile(std::move(strPasswordFile))
    , m_strMasterPasswordFile(std::move(strMasterPasswordFile))
    , m_nAnswer(nAnswer)
{
}

unsigned CTerminalUi::CheckNewPassword(const QString& strNew, const QString& strConfirm)
{
    if (strNew.isEmpty() || strConfirm.isEmpty()) {
        return kIdsFieldEmpty;
    }
    if (strNew != strConfirm) {
        return kIdsEntriesDiffer;
    }
    if (strNew.size() < kMinPassword || strNew.size() > kMaxPassword) {
        return kIdsLength;
    }
    return 0;
}

bool CTerminalUi::ReadPasswordFile(const QString& strFile, std::optional<CSecureBuffer>& cache)
{
    if (cache) {
        return true;
    }
    // Read by descriptor straight into secure memory: a buffered reader would keep the bytes
    // in a buffer of its own that nothing wipes.
    const bool bStdin = strFile == QStringLiteral("-");
    const int fd =
        bStdin ? STDIN_FILENO : ::open(HVGlobalMFC::HVPathToBytes(strFile).constData(), O_RDONLY | O_CLOEXEC);
    CSecureBuffer bytes(static_cast<std::size_t>(kMaxPasswordFile) + 1);
    std::size_t nRead = 0;
    int nError = fd < 0 ? errno : (bytes.empty() ? ENOMEM : 0);
    while (nError == 0 && nRead < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + nRead, bytes.size() - nRead);
        if (n > 0) {
            nRead += static_cast<std::size_t>(n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            nError = errno;
        }
    }
    if (fd >= 0 && !bStdin) {
        ::close(fd);
    }
    if (nError != 0) {
        m_terminal.Message(QStringLiteral("hnv: cannot read the password file %1: %2")
                               .arg(strFile, QString::fromLocal8Bit(std::strerror(nError))));
        m_bPasswordUnavailable = true;
        return false;
    }
    const bool bTooLong = nRead > static_cast<std::size_t>(kMaxPasswordFile);
    // One line: the first line ending ends the password.
    const auto* pBegin = reinterpret_cast<const char*>(bytes.data());
    const void* pNewline = std::memchr(pBegin, '\n', nRead);
    std::size_t nEnd =
        pNewline != nullptr ? static_cast<std::size_t>(static_cast<const char*>(pNewline) - pBegin) : nRead;
    if (nEnd > 0 && pBegin[nEnd - 1] == '\r') {
        --nEnd;
    }
    QString strText = bTooLong ? QString() : QString::fromUtf8(pBegin, static_cast<qsizetype>(nEnd));
    bytes.clear();
    if (bTooLong || strText.contains(QChar::ReplacementCharacter)) {
        CTerminal::Wipe(strText);
        m_terminal.Message(QStringLiteral("hnv: the password file %1 is not one line of UTF-8 text").arg(strFile));
        m_bPasswordUnavailable = true;
        return false;
    }
    cache.emplace();
    *cache = HVTakeText(strText);
    return true;
}

void CTerminalUi::NoTerminal(const QString& strWhat, const QString& strOption)
{
    m_terminal.Message(QStringLiteral("hnv: %1 is needed, but there is no terminal to ask on; give it with %2")
                           .arg(strWhat, strOption));
    m_bPasswordUnavailable = true;
}

bool CTerminalUi::AskNew(const QString& strWhat,
                         std::optional<CSecureBuffer>& fromFile,
                         const QString& strFile,
                         CSecureBuffer& utf16)
{
    m_bAsked = true;
    if (!strFile.isEmpty()) {
        if (!ReadPasswordFile(strFile, fromFile)) {
            return false;
        }
        // The rules looked at in place: the text is not copied out of secure memory.
        const QString strView = QString::fromRawData(reinterpret_cast<const QChar*>(fromFile->data()),
                                                     static_cast<qsizetype>(fromFile->size() / sizeof(QChar)));
        const unsigned nRule = CheckNewPassword(strView, strView);
        if (nRule != 0) {
            ShowMessage(nRule);
            m_bRefused = true;
            return false;
        }
        utf16 = fromFile->Clone();
        return true;
    }
    if (!m_terminal.HasTty()) {
        NoTerminal(strWhat,
                   strWhat.contains(QStringLiteral("master")) ? QStringLiteral("--master-password-file")
                                                              : QStringLiteral("--password-file"));
        return false;
    }
    for (int nTry = 1; nTry <= kNewPasswordTries; ++nTry) {
        QString strNew;
        QString strConfirm;
        if (!m_terminal.ReadHidden(QStringLiteral("New %1 (6 to 32 characters): ").arg(strWhat), strNew)
            || !m_terminal.ReadHidden(QStringLiteral("Confirm the %1: ").arg(strWhat), strConfirm)) {
            CTerminal::Wipe(strNew);
            break;
        }
        const unsigned nRule = CheckNewPassword(strNew, strConfirm);
        CTerminal::Wipe(strConfirm);
        if (nRule == 0) {
            utf16 = HVTakeText(strNew);
            return true;
        }
        CTerminal::Wipe(strNew);
        ShowMessage(nRule);
    }
    m_bRefused = true;
    return false;
}

bool CTerminalUi::AskNewMasterPassword(CSecureBuffer& utf16)
{
    return AskNew(QStringLiteral("master password"), m_master, m_strMasterPasswordFile, utf16);
}

bool CTerminalUi::AskNewPassword(CSecureBuffer& utf16)
{
    return AskNew(QStringLiteral("password"), m_password, m_strPasswordFile, utf16);
}

bool CTerminalUi::AskMasterPassword(int nAttempt, CSecureBuffer& utf16)
{
    m_bAsked = true;
    if (!m_strMasterPasswordFile.isEmpty()) {
        if (!ReadPasswordFile(m_strMasterPasswordFile, m_master)) {
            return false;
        }
        utf16 = m_master->Clone();
        return true;
    }
    if (!m_terminal.HasTty()) {
        NoTerminal(QStringLiteral("the master password"), QStringLiteral("--master-password-file"));
        return false;
    }
    QString strTyped;
    if (!m_terminal.ReadHidden(QStringLiteral("Master password (attempt %1 of 4, empty line cancels): ").arg(nAttempt),
                               strTyped)
        || strTyped.isEmpty()) {
        m_bRefused = true;
        return false;
    }
    utf16 = HVTakeText(strTyped);
    return true;
}

bool CTerminalUi::GivenMasterPassword(CSecureBuffer& utf16)
{
    if (m_strMasterPasswordFile.isEmpty() || !ReadPasswordFile(m_strMasterPasswordFile, m_master)) {
        return false;
    }
    utf16 = m_master->Clone();
    return !utf16.empty();
}

bool CTerminalUi::AskFilePassword(const QString& strPath, CSecureBuffer& utf16)
{
    m_bAsked = true;
    if (!m_strPasswordFile.isEmpty()) {
        if (m_setFilePathsGiven.contains(strPath)) {
            m_terminal.Message(
                QStringLiteral("hnv: %1 skipped: neither the given password nor the master password opens it")
                    .arg(strPath));
            m_bSkipFile = true;
            return false;
        }
        if (!ReadPasswordFile(m_strPasswordFile, m_password)) {
            return false;
        }
        m_setFilePathsGiven.insert(strPath);
        utf16 = m_password->Clone();
        return true;
    }
    if (!m_terminal.HasTty()) {
        NoTerminal(QStringLiteral("the password of ") + strPath, QStringLiteral("--password-file"));
        return false;
    }
    QString strTyped;
    if (!m_terminal.ReadHidden(QStringLiteral("Password of %1 (empty line skips the file): ").arg(strPath), strTyped)) {
        return false;  // the input ended: the run ends
    }
    if (strTyped.isEmpty()) {
        m_bSkipFile = true;  // as the prompt says
        return false;
    }
    utf16 = HVTakeText(strTyped);
    return true;
}

bool CTerminalUi::AskQuestion(const QString& strText, bool& bApplyToAll)
{
    if (m_nAnswer >= 0) {
        bApplyToAll = true;
        return m_nAnswer == 1;
    }
    if (!m_terminal.HasTty()) {
        m_terminal.Message(strText + QStringLiteral("\nhnv: no terminal to ask on: answered no for all (see --yes)"));
        bApplyToAll = true;
        return false;
    }
    for (;;) {
        QString strAnswer;
        if (!m_terminal.ReadLine(strText + QStringLiteral("\n[y]es, [n]o, [a]ll yes, n[o]ne: "), strAnswer)) {
            bApplyToAll = true;
            return false;
        }
        strAnswer = strAnswer.trimmed().toLower();
        if (strAnswer == u"y" || strAnswer == u"yes") {
            return true;
        }
        if (strAnswer == u"n" || strAnswer == u"no") {
            return false;
        }
        if (strAnswer == u"a" || strAnswer == u"all") {
            bApplyToAll = true;
            return true;
        }
        if (strAnswer == u"o" || strAnswer == u"none") {
            bApplyToAll = true;
            return false;
        }
    }
}

void CTerminalUi::ShowMessage(unsigned nStringId, const QStringList& args)
{
    QString strText = HVFormatText(HVLoadString(nStringId), args);
    if (strText.isEmpty()) {
        strText = QStringLiteral("message %1").arg(nStringId);
    }
    m_terminal.Message(strText);
}

bool CTerminalUi::AskYesNo(unsigned nTextId, unsigned nCaptionId)
{
    (void)nCaptionId;
    const QString strText = HVLoadString(nTextId);
    if (m_nAnswer >= 0) {
        return m_nAnswer == 1;
    }
    if (!m_terminal.HasTty()) {
        m_terminal.Message(strText + QStringLiteral("\nhnv: no terminal to ask on: answered no (see --yes)"));
        return false;
    }
    QString strAnswer;
    if (!m_terminal.ReadLine(strText + QStringLiteral(" [y/N]: "), strAnswer)) {
        return false;
    }
    strAnswer = strAnswer.trimmed().toLower();
    return strAnswer == u"y" || strAnswer == u"yes";
}

void CTerminalUi::ShowReport(const CReportComposer& report)
{
    std::fputs(report.PlainText().toUtf8().constData(), stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
}
