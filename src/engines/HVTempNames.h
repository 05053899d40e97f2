#pragma once

#include "globalfuncs/HVDurableFile.h"

#include <cstddef>
#include <string>

// Names of the engines' own short-lived files inside a user's folder:
//   ".<target name>.hvtmp-<pid>-<token>"  an output being written (where the file system cannot
//                                         hold an unnamed file until it is complete);
//   ".hvwipe-<token>"                     a file being wiped, renamed away from its own name.
// The token is 12 random letters and digits. Listings skip such names (HVIsOwnTemporaryName):
// they are never user data. Removing one after a crash is left to the records of the process
// that made it (HVPendingRecords), never to its name alone.
inline constexpr std::size_t kHVTempTokenLen = 12;

// A fresh random token, or "" when the system's generator fails.
inline std::string HVNewTempToken()
{
    return HVDurableFile::RandomToken(kHVTempTokenLen,
                                      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
}

// True when strName has the form of one of the engines' own temporary files.
inline bool HVIsOwnTemporaryName(const std::string& strName)
{
    auto isTokenAt = [&](std::size_t nPos) {
        if (strName.size() != nPos + kHVTempTokenLen) {
            return false;
        }
        for (std::size_t i = nPos; i < strName.size(); ++i) {
            const char c = strName[i];
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
                return false;
            }
        }
        return true;
    };
    static const std::string kWipe = ".hvwipe-";
    if (strName.compare(0, kWipe.size(), kWipe) == 0) {
        return isTokenAt(kWipe.size());
    }
    if (strName.size() < 1 + 1 + 7 + 2 + kHVTempTokenLen || strName[0] != '.') {
        return false;
    }
    const std::size_t nDash = strName.size() - kHVTempTokenLen - 1;
    if (strName[nDash] != '-' || !isTokenAt(nDash + 1)) {
        return false;
    }
    std::size_t nDigits = nDash;
    while (nDigits > 0 && strName[nDigits - 1] >= '0' && strName[nDigits - 1] <= '9') {
        --nDigits;
    }
    return nDigits < nDash && nDash - nDigits <= 10 && nDigits >= 8 && strName.compare(nDigits - 7, 7, ".hvtmp-") == 0;
}
