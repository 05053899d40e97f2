#pragma once

#include "engines/CSecureBuffer.h"
#include "security/IDataSecurityUi.h"

#include <QSet>
#include <QString>

#include <optional>
#include <utility>

class CTerminal;

// The dialogs of start-up and of the manager's flows, answered in the terminal: passwords from
// the password files when given, else typed with echo off; yes/no questions from --yes/--no,
// else typed; messages and the report as text on stderr / stdout.
//
// A password that is needed while there is neither a password file nor a terminal is refused
// with a message (PasswordUnavailable() then tells the program's exit status).
class CTerminalUi : public IDataSecurityUi
{
public:
    static constexpr int kMinPassword = 6;
    static constexpr int kMaxPassword = 32;
    static constexpr int kNewPasswordTries = 4;
    static constexpr qint64 kMaxPasswordFile = 4096;

    // Numbered strings of the password rules.
    static constexpr unsigned kIdsFieldEmpty = 57345;
    static constexpr unsigned kIdsEntriesDiffer = 128;
    static constexpr unsigned kIdsLength = 104;

    CTerminalUi(CTerminal& terminal, QString strPasswordFile, QString strMasterPasswordFile, int nAnswer);

    bool AskNewMasterPassword(CSecureBuffer& utf16) override;
    bool AskMasterPassword(int nAttempt, CSecureBuffer& utf16) override;
    void ShowMessage(unsigned nStringId, const QStringList& args = QStringList()) override;
    bool AskYesNo(unsigned nTextId, unsigned nCaptionId) override;
    bool AskNewPassword(CSecureBuffer& utf16) override;
    void ShowReport(const CReportComposer& report) override;

    bool GivenMasterPassword(CSecureBuffer& utf16) override;

    // The file password for an encrypted file: from the password file (once per path), else
    // typed. False when refused or not to be had; when the password file's password was already
    // tried on that file, false with TakeSkipFile() true: that file is skipped, the run goes on.
    [[nodiscard]] bool AskFilePassword(const QString& strPath, CSecureBuffer& utf16);
    // Whether the last refusal skips only its file (cleared by the call).
    [[nodiscard]] bool TakeSkipFile() { return std::exchange(m_bSkipFile, false); }
    // A yes/no question of a run; bApplyToAll set when the answer holds for the rest of the run.
    [[nodiscard]] bool AskQuestion(const QString& strText, bool& bApplyToAll);

    // The rule a new password breaks (0 when it keeps them): 57345, 128 or 104.
    [[nodiscard]] static unsigned CheckNewPassword(const QString& strNew, const QString& strConfirm);

    [[nodiscard]] bool PasswordUnavailable() const { return m_bPasswordUnavailable; }
    [[nodiscard]] bool Refused() const { return m_bRefused; }
    [[nodiscard]] bool WasAsked() const { return m_bAsked; }

private:
    // Reads a password file into secure memory (UTF-16); false with a message when it cannot be read.
    [[nodiscard]] bool ReadPasswordFile(const QString& strFile, std::optional<CSecureBuffer>& cache);
    [[nodiscard]] bool AskNew(const QString& strWhat,
                              std::optional<CSecureBuffer>& fromFile,
                              const QString& strFile,
                              CSecureBuffer& utf16);
    void NoTerminal(const QString& strWhat, const QString& strOption);

    CTerminal& m_terminal;
    QString m_strPasswordFile;
    QString m_strMasterPasswordFile;
    std::optional<CSecureBuffer> m_password;  // the password file's text, once read
    std::optional<CSecureBuffer> m_master;    // the master-password file's text, once read
    QSet<QString> m_setFilePathsGiven;        // encrypted files the password file was given for
    int m_nAnswer = -1;
    bool m_bPasswordUnavailable = false;
    bool m_bRefused = false;
    bool m_bAsked = false;
    bool m_bSkipFile = false;
};
