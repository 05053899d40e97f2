#pragma once

#include <cerrno>
#include <string>

// Results of the encryption engine's operations. EHvnc is the result type; the integer values
// below are the same codes, for the engine's integer interface (GetLastResult, DecryptFileW,
// the batch results).
enum class EHvnc : int
{
    Ok = 0,
    Failed,
    WrongPassword,
    Corrupt,
    NotHvnc,
    UnsupportedVersion,
    Cancelled,
    IoError,
    NoSpace,
    Exists,
    NotRegular,
    Changed,
    MultipleLinks,
    Permission,
    NameTooLong,
};

// A result with the reason of a failure (or the warning of a success) in words.
struct SHvncResult
{
    EHvnc eCode = EHvnc::Ok;
    std::string strReason;

    [[nodiscard]] bool Ok() const { return eCode == EHvnc::Ok; }
};

enum EHvncResult : int
{
    HVNC_OK = 0,
    HVNC_FAILED = 1,               // no password set, bad arguments, anything not listed below
    HVNC_WRONG_PASSWORD = 2,       // the header is intact but the password does not open it
    HVNC_CORRUPT = 3,              // damaged header or content: bit flips, truncation, extra bytes
    HVNC_NOT_HVNC = 4,             // not an encrypted file of ours (no magic)
    HVNC_UNSUPPORTED_VERSION = 5,  // written by a newer format version
    HVNC_CANCELLED = 6,            // the stop signal was set
    HVNC_IO_ERROR = 7,             // reading or writing failed
    HVNC_NO_SPACE = 8,             // the disk is full
    HVNC_EXISTS = 9,               // the output name is taken (encryption never replaces a file)
    HVNC_NOT_REGULAR = 10,         // the source is not a regular file (or a link to one)
    HVNC_CHANGED = 11,             // the file is not the one listed, or changed since it was read
    HVNC_MULTIPLE_LINKS = 12,      // the file has other names (hard links); it was not overwritten
    HVNC_PERMISSION = 13,          // permission denied
    HVNC_NAME_TOO_LONG = 14        // a name the filesystem cannot hold
};

static_assert(static_cast<int>(EHvnc::NameTooLong) == HVNC_NAME_TOO_LONG, "one list of codes");

// Short English text of a result, for tools and logs.
inline const char* HvncResultText(int nResult)
{
    switch (nResult) {
    case HVNC_OK:
        return "success";
    case HVNC_FAILED:
        return "failed";
    case HVNC_WRONG_PASSWORD:
        return "wrong password";
    case HVNC_CORRUPT:
        return "file is damaged";
    case HVNC_NOT_HVNC:
        return "not an encrypted file";
    case HVNC_UNSUPPORTED_VERSION:
        return "unsupported format version";
    case HVNC_CANCELLED:
        return "cancelled";
    case HVNC_IO_ERROR:
        return "input/output error";
    case HVNC_NO_SPACE:
        return "no space left on device";
    case HVNC_EXISTS:
        return "output file exists";
    case HVNC_NOT_REGULAR:
        return "not a regular file";
    case HVNC_CHANGED:
        return "the file changed or was replaced while it was being processed";
    case HVNC_MULTIPLE_LINKS:
        return "the file has other names (hard links)";
    case HVNC_PERMISSION:
        return "permission denied";
    case HVNC_NAME_TOO_LONG:
        return "name too long";
    default:
        return "unknown result";
    }
}

// The result for a failed system call's errno (opening, creating, renaming or writing a file).
inline int HvncResultOfErrno(int nErr)
{
    switch (nErr) {
    case EACCES:
    case EPERM:
        return HVNC_PERMISSION;
    case ENAMETOOLONG:
        return HVNC_NAME_TOO_LONG;
    case ENOSPC:
    case EDQUOT:
        return HVNC_NO_SPACE;
    case ELOOP:
        return HVNC_NOT_REGULAR;  // a link met where O_NOFOLLOW was asked for
    default:
        return HVNC_IO_ERROR;
    }
}
