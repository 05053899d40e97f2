#pragma once

#include <cerrno>
#include <string>
#include <utility>

// Results of the encryption and wipe engines' operations. The engines work with EHvnc (and
// SHvncResult, a code with its reason); the integer constants below are the same codes for the
// integer interface (GetLastResult, DecryptFileW, the batch results).
enum class EHvnc : int
{
    Ok = 0,
    Failed = 1,              // no password set, bad arguments, anything not listed below
    WrongPassword = 2,       // the header is intact but the password does not open it
    Corrupt = 3,             // damaged header or content: bit flips, truncation, extra bytes
    NotHvnc = 4,             // not an encrypted file of ours (no magic)
    UnsupportedVersion = 5,  // written by a newer format version
    Cancelled = 6,           // the stop signal was set
    IoError = 7,             // reading or writing failed
    NoSpace = 8,             // the disk is full
    Exists = 9,              // the output name is taken (encryption never replaces a file)
    NotRegular = 10,         // the source is not a regular file (or a link to one)
    Changed = 11,            // the file is not the one listed, or changed since it was read
    MultipleLinks = 12,      // the file has other names (hard links); it was not overwritten
    Permission = 13,         // permission denied
    NameTooLong = 14,        // a name the filesystem cannot hold
};

// A result with the reason of a failure (or the warning of a success) in words.
struct SHvncResult
{
    EHvnc eCode = EHvnc::Ok;
    std::string strReason;

    SHvncResult() = default;
    SHvncResult(EHvnc eResult, std::string strWhy = {})  // NOLINT: a code alone is a result
        : eCode(eResult)
        , strReason(std::move(strWhy))
    {
    }
    [[nodiscard]] bool Ok() const { return eCode == EHvnc::Ok; }
};

constexpr int HvncCode(EHvnc eCode)
{
    return static_cast<int>(eCode);
}

inline constexpr int HVNC_OK = HvncCode(EHvnc::Ok);
inline constexpr int HVNC_FAILED = HvncCode(EHvnc::Failed);
inline constexpr int HVNC_WRONG_PASSWORD = HvncCode(EHvnc::WrongPassword);
inline constexpr int HVNC_CORRUPT = HvncCode(EHvnc::Corrupt);
inline constexpr int HVNC_NOT_HVNC = HvncCode(EHvnc::NotHvnc);
inline constexpr int HVNC_UNSUPPORTED_VERSION = HvncCode(EHvnc::UnsupportedVersion);
inline constexpr int HVNC_CANCELLED = HvncCode(EHvnc::Cancelled);
inline constexpr int HVNC_IO_ERROR = HvncCode(EHvnc::IoError);
inline constexpr int HVNC_NO_SPACE = HvncCode(EHvnc::NoSpace);
inline constexpr int HVNC_EXISTS = HvncCode(EHvnc::Exists);
inline constexpr int HVNC_NOT_REGULAR = HvncCode(EHvnc::NotRegular);
inline constexpr int HVNC_CHANGED = HvncCode(EHvnc::Changed);
inline constexpr int HVNC_MULTIPLE_LINKS = HvncCode(EHvnc::MultipleLinks);
inline constexpr int HVNC_PERMISSION = HvncCode(EHvnc::Permission);
inline constexpr int HVNC_NAME_TOO_LONG = HvncCode(EHvnc::NameTooLong);

// Short English text of a result, for tools and logs.
inline const char* HvncResultText(EHvnc eResult)
{
    switch (eResult) {
    case EHvnc::Ok:
        return "success";
    case EHvnc::Failed:
        return "failed";
    case EHvnc::WrongPassword:
        return "wrong password";
    case EHvnc::Corrupt:
        return "file is damaged";
    case EHvnc::NotHvnc:
        return "not an encrypted file";
    case EHvnc::UnsupportedVersion:
        return "unsupported format version";
    case EHvnc::Cancelled:
        return "cancelled";
    case EHvnc::IoError:
        return "input/output error";
    case EHvnc::NoSpace:
        return "no space left on device";
    case EHvnc::Exists:
        return "output file exists";
    case EHvnc::NotRegular:
        return "not a regular file";
    case EHvnc::Changed:
        return "the file changed or was replaced while it was being processed";
    case EHvnc::MultipleLinks:
        return "the file has other names (hard links)";
    case EHvnc::Permission:
        return "permission denied";
    case EHvnc::NameTooLong:
        return "name too long";
    }
    return "unknown result";
}

inline const char* HvncResultText(int nResult)
{
    return HvncResultText(static_cast<EHvnc>(nResult));
}

// The result for a failed system call's errno (opening, creating, renaming or writing a file).
inline EHvnc HvncOfErrno(int nErr)
{
    switch (nErr) {
    case EACCES:
    case EPERM:
        return EHvnc::Permission;
    case ENAMETOOLONG:
        return EHvnc::NameTooLong;
    case ENOSPC:
    case EDQUOT:
        return EHvnc::NoSpace;
    case ELOOP:
        return EHvnc::NotRegular;  // a link met where O_NOFOLLOW was asked for
    default:
        return EHvnc::IoError;
    }
}

inline int HvncResultOfErrno(int nErr)
{
    return HvncCode(HvncOfErrno(nErr));
}
