#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// A line-oriented text file that is either UTF-16LE with a byte-order mark ("Unicode") or 8-bit
// text in a code page (default: the locale's encoding, normally UTF-8).
//
// Reading (no typeBinary): a file that starts with FF FE is read as UTF-16LE, otherwise as 8-bit
// text in the code page (a UTF-8 byte-order mark is skipped when the code page is UTF-8). Each
// ReadString returns one line without its line end ("\n", "\r\n" or a lone trailing "\r").
// Writing with modeWriteUnicode writes UTF-16LE, with the byte-order mark when the file is
// empty; otherwise the text is converted to the code page. Text is written exactly as given:
// there is no newline translation on this platform, so callers write "\r\n" where they want it.
// modeCreate truncates unless modeNoTruncate is given, in which case writes append.
class HVGLOBALMFC_API CStdioFileEx
{
public:
    enum OpenFlags : unsigned
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    static constexpr unsigned modeWriteUnicode = 0x20000;

    CStdioFileEx();
    CStdioFileEx(const QString& path, unsigned flags);
    ~CStdioFileEx();
    CStdioFileEx(const CStdioFileEx&) = delete;
    CStdioFileEx& operator=(const CStdioFileEx&) = delete;

    [[nodiscard]] bool Open(const QString& path, unsigned flags);
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_file.isOpen(); }

    // Next line into line; false at the end of the file (line is then empty) or on error.
    [[nodiscard]] bool ReadString(QString& line);
    // Writes text; false when the file is not open for writing, a write fails, or a character
    // has no form in the code page (it is written as '?').
    [[nodiscard]] bool WriteString(const QString& text);

    [[nodiscard]] bool IsFileUnicode() const { return m_bIsUnicode; }
    // Whether the file at path starts with the UTF-16LE byte-order mark.
    [[nodiscard]] static bool IsFileUnicode(const QString& path);

    // Code page for 8-bit text (0: the locale's). False, and no change, when not supported.
    bool SetCodePage(int codePage);
    [[nodiscard]] int GetCodePage() const { return m_nCodePage; }

    // Number of characters (UTF-16 units) of the whole file's text, byte-order mark excluded;
    // -1 when the file is not open.
    [[nodiscard]] qint64 GetCharCount();

    // The locale's code page number (65001 for UTF-8 and the C locale).
    [[nodiscard]] static int GetCurrentLocaleCodePage();
    // Conversions between 8-bit text in a code page (0: the locale's) and wide text.
    [[nodiscard]] static QString GetUnicodeString(const QByteArray& bytes, int codePage = 0);
    [[nodiscard]] static QByteArray GetMultiByteString(const QString& text, int codePage = 0, bool* ok = nullptr);

private:
    [[nodiscard]] bool ReadUnicodeLine(QString& line);

    QFile m_file;
    bool m_bIsUnicode = false;
    bool m_bWritable = false;
    int m_nCodePage;
    qint64 m_nTextStart = 0;
};
