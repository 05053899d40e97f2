#pragma once

#include <QString>

#include <cstdint>
#include <string>

// Reading and writing the document text in its file encodings.
//
// Reading detects a UTF-8 (EF BB BF) or UTF-16LE (FF FE) byte-order mark; anything else is taken
// as UTF-8. Writing replaces the file atomically: a temporary file in the same folder is written,
// synced and renamed over the target, then the folder is synced, so a crash never leaves a
// half-written file.
class CXmlFile
{
public:
    static constexpr uint32_t kUtf16LeBom = 1;
    static constexpr uint32_t kUtf8Bom = 4;

    // Reads the file (a regular file only) into strText. nDocFlags gets bit 1 or 4 set for a byte-order mark (both
    // cleared without one); strDescription describes the conversion. On failure strError is the
    // system's text for the failed file operation.
    [[nodiscard]] static bool Read(const QString& strPath,
                                   std::u16string& strText,
                                   uint32_t& nDocFlags,
                                   QString& strDescription,
                                   QString& strError);

    // Writes strText in the encoding chosen by nDocFlags (bit 1 UTF-16LE with mark, else UTF-8,
    // with mark when bit 4 is set). nMode >= 0: the file gets exactly these permission bits from
    // its creation on; otherwise a new file gets 0666 less the umask and a replaced one keeps its own.
    [[nodiscard]] static bool Write(const QString& strPath,
                                    const std::u16string& strText,
                                    uint32_t nDocFlags,
                                    QString& strDescription,
                                    QString& strError,
                                    int nMode = -1);

    static constexpr uint64_t kMaxFileSize = 0x7FFFFFF0;
};
