#include "globalfuncs/CStdioFileEx.h"

#include "globalfuncs/HVCodePage.h"

#include <QtEndian>

using namespace HVGlobalMFC;

namespace {

void StripLineEnd(QString& line)
{
    if (line.endsWith(QLatin1Char('\n')))
        line.chop(1);
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
}

}  // namespace

CStdioFileEx::CStdioFileEx()
    : m_nCodePage(HVCodePage::LocaleCodePage())
{
}

CStdioFileEx::CStdioFileEx(const QString& path, unsigned flags)
    : CStdioFileEx()
{
    (void)Open(path, flags);
}

CStdioFileEx::~CStdioFileEx()
{
    Close();
}

bool CStdioFileEx::Open(const QString& path, unsigned flags)
{
    Close();
    m_file.setFileName(path);
    QIODevice::OpenMode mode;
    if (flags & modeReadWrite)
        mode = QIODevice::ReadWrite;
    else if (flags & modeWrite)
        mode = QIODevice::WriteOnly;
    else
        mode = QIODevice::ReadOnly;
    m_bWritable = mode != QIODevice::ReadOnly;
    if (m_bWritable) {
        if (!(flags & modeCreate))
            mode |= QIODevice::ExistingOnly;
        else if (flags & modeNoTruncate)
            mode |= QIODevice::Append;
        else
            mode |= QIODevice::Truncate;
    }
    if (!m_file.open(mode))
        return false;

    m_bIsUnicode = false;
    m_nTextStart = 0;
    if (mode & QIODevice::ReadOnly && !(flags & typeBinary)) {
        const QByteArray head = m_file.peek(3);
        if (head.startsWith("\xFF\xFE")) {
            m_bIsUnicode = true;
            m_nTextStart = 2;
        } else if (head == "\xEF\xBB\xBF" && m_nCodePage == HVCodePage::kUtf8) {
            m_nTextStart = 3;
        }
        m_file.seek(m_nTextStart);
    }
    if (m_bWritable && (flags & modeWriteUnicode)) {
        m_bIsUnicode = true;
        if (m_file.size() == 0 && m_file.write("\xFF\xFE", 2) != 2) {
            Close();
            return false;
        }
    }
    return true;
}

void CStdioFileEx::Close()
{
    if (m_file.isOpen())
        m_file.close();
    m_bWritable = false;
}

bool CStdioFileEx::ReadUnicodeLine(QString& line)
{
    bool any = false;
    char unit[2];
    while (m_file.read(unit, 2) == 2) {
        any = true;
        const char16_t ch = qFromLittleEndian<quint16>(unit);
        line += QChar(ch);
        if (ch == u'\n')
            break;
    }
    return any;
}

bool CStdioFileEx::ReadString(QString& line)
{
    line.clear();
    if (!m_file.isOpen() || !m_file.isReadable())
        return false;
    if (m_bIsUnicode) {
        if (!ReadUnicodeLine(line))
            return false;
    } else {
        const QByteArray bytes = m_file.readLine();
        if (bytes.isEmpty())
            return false;
        line = HVCodePage::ToUnicode(bytes, m_nCodePage);
    }
    StripLineEnd(line);
    return true;
}

bool CStdioFileEx::WriteString(const QString& text)
{
    if (!m_file.isOpen() || !m_bWritable)
        return false;
    QByteArray bytes;
    bool ok = true;
    if (m_bIsUnicode) {
        bytes.resize(text.size() * 2);
        for (qsizetype i = 0; i < text.size(); ++i)
            qToLittleEndian<quint16>(text.at(i).unicode(), bytes.data() + 2 * i);
    } else {
        bytes = HVCodePage::FromUnicode(text, m_nCodePage, &ok);
    }
    return m_file.write(bytes) == bytes.size() && ok;
}

bool CStdioFileEx::IsFileUnicode(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(2) == QByteArray("\xFF\xFE", 2);
}

bool CStdioFileEx::SetCodePage(int codePage)
{
    if (!HVCodePage::IsSupported(codePage))
        return false;
    m_nCodePage = codePage == 0 ? HVCodePage::LocaleCodePage() : codePage;
    return true;
}

qint64 CStdioFileEx::GetCharCount()
{
    if (!m_file.isOpen())
        return -1;
    if (m_bWritable)
        m_file.flush();
    QFile whole(m_file.fileName());
    if (!whole.open(QIODevice::ReadOnly))
        return -1;
    if (IsFileUnicode(m_file.fileName()))
        return (whole.size() - 2) / 2;
    QByteArray bytes = whole.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF") && m_nCodePage == HVCodePage::kUtf8)
        bytes.remove(0, 3);
    return HVCodePage::ToUnicode(bytes, m_nCodePage).size();
}

int CStdioFileEx::GetCurrentLocaleCodePage()
{
    return HVCodePage::LocaleCodePage();
}

QString CStdioFileEx::GetUnicodeString(const QByteArray& bytes, int codePage)
{
    return HVCodePage::ToUnicode(bytes, codePage);
}

QByteArray CStdioFileEx::GetMultiByteString(const QString& text, int codePage, bool* ok)
{
    return HVCodePage::FromUnicode(text, codePage, ok);
}
