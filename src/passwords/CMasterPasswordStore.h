#pragma once

#include "engines/CSecureBuffer.h"

#include <QString>

#include <cstddef>
#include <string_view>

// The password-signature file "HNVConfig.xml": the only trace of the master password on disk.
//
// The file holds the 32-byte signature the encryption engine makes of the password (Base64 in
// PWSig: a random salt of this installation, 16 bytes, and the first 16 bytes of the password's
// hash under it) and how often a typed password was checked against it (RunCount):
//
//   <?xml version="1.0" standalone="yes"?>\r\n
//   <Config>\r\n
//   <PWSig>\r\n<44 Base64 characters>\r\n</PWSig>\r\n
//   <RunCount>0</RunCount>\r\n
//   </Config>\r\n
//
// Every save replaces the file atomically (a temporary file, synced, renamed over it) with mode
// 0600. A signature of the earlier fixed-salt form is still accepted, and the first password that
// matches it has it rewritten in the salted form. A save
// that fails is reported through the result and GetLastError, never passed over. Passwords are
// never kept by this class.
class CMasterPasswordStore
{
public:
    static constexpr const char* kFileName = "HNVConfig.xml";
    static constexpr std::size_t kSignatureSize = 32;
    // Longest PWSig text looked at; anything longer is not a signature of ours.
    static constexpr qsizetype kMaxSignatureText = 1024;
    // Larger files are not read at all (they are treated like unreadable ones).
    static constexpr qint64 kMaxFileSize = 64 * 1024;

    explicit CMasterPasswordStore(QString strFile);

    // The file's path in a data folder.
    [[nodiscard]] static QString PathIn(const QString& strFolder);
    [[nodiscard]] const QString& GetFile() const { return m_strFile; }

    // Writes the signature of password. bCreate: a new file with RunCount 0, over any existing
    // one. Otherwise only the PWSig text of the existing file is replaced (RunCount kept); a file
    // without PWSig is made anew as with bCreate. True when the file was saved; false (file
    // untouched) when the signature could not be computed or the file not written.
    [[nodiscard]] bool WritePasswordSignature(bool bCreate, std::u16string_view password);

    // Checks a typed password against the file. RunCount goes up by one before the comparison,
    // wrong entries included. A file without PWSig or RunCount (or one that cannot be read or
    // parsed) is written anew from this password, which is then accepted. A PWSig that decodes
    // to fewer than 32 bytes never matches. LastSaveFailed tells whether a save in the course
    // of the check failed (the answer itself stands).
    [[nodiscard]] bool VerifyMasterPassword(std::u16string_view password);

    // Whether the last operation's save failed, and why (also why a signature was not made).
    [[nodiscard]] bool LastSaveFailed() const { return m_bSaveFailed; }
    [[nodiscard]] const QString& GetLastError() const { return m_strLastError; }

private:
    [[nodiscard]] bool MakeSignatureText(std::u16string_view password, QString& strText);
    // Whether password yields the 32-byte sig, in the salted or (bOldForm) the fixed-salt form.
    [[nodiscard]] static bool Matches(std::u16string_view password, const CSecureBuffer& sig, bool& bOldForm);
    void SetFailure(const QString& strWhy);

    QString m_strFile;
    bool m_bSaveFailed = false;
    QString m_strLastError;
};
