#include "security/CCommandLine.h"

#include "globalfuncs/HVPathText.h"

#include <QFile>

namespace {

constexpr QChar kBlank = u' ';
constexpr QChar kQuote = u'"';

// The process's argument vector, program path included, byte for byte (the kernel's copy of
// argv: a name that is not UTF-8 keeps its bytes).
QStringList ProcessArguments()
{
    QStringList lstArgs;
    QFile file(QStringLiteral("/proc/self/cmdline"));
    if (!file.open(QIODevice::ReadOnly)) {
        return lstArgs;
    }
    const QByteArray raw = file.readAll();
    qsizetype nStart = 0;
    while (nStart < raw.size()) {
        qsizetype nEnd = raw.indexOf('\0', nStart);
        if (nEnd < 0) {
            nEnd = raw.size();
        }
        lstArgs.append(HVGlobalMFC::HVPathFromBytes(QByteArrayView(raw).sliced(nStart, nEnd - nStart)));
        nStart = nEnd + 1;
    }
    return lstArgs;
}

}  // namespace

CCommandLine::CCommandLine()
{
    SetArguments(ProcessArguments());
}

void CCommandLine::SetCommandLine(const QString& strCmdLine)
{
    m_strCmdLine = strCmdLine.trimmed();
    m_lstArgs.clear();
    m_bArgs = false;
    m_bHasToken = false;
}

void CCommandLine::SetArguments(const QStringList& lstArgs)
{
    m_lstArgs = lstArgs;
    m_strCmdLine.clear();
    m_bArgs = true;
    m_bHasToken = false;
}

QString CCommandLine::GetCommandLine() const
{
    return m_bArgs ? m_lstArgs.join(kBlank) : m_strCmdLine;
}

void CCommandLine::Restart()
{
    m_bHasToken = false;
    m_nBegin = 0;
    m_nEnd = 0;
    if (m_bArgs) {
        m_bHasToken = !m_lstArgs.isEmpty();
    } else {
        SplitNext();
    }
}

// Moves on to the next token; leaves m_bHasToken false when there is none.
void CCommandLine::SplitNext()
{
    if (m_bArgs) {
        if (m_bHasToken) {
            ++m_nBegin;
        }
        m_bHasToken = m_bHasToken && m_nBegin < m_lstArgs.size();
        return;
    }
    const qsizetype nLen = m_strCmdLine.size();
    qsizetype nPos = m_nEnd;
    while (nPos < nLen && m_strCmdLine[nPos] == kBlank) {
        ++nPos;
    }
    if (nPos >= nLen) {
        m_bHasToken = false;
        m_nBegin = m_nEnd = nLen;
        return;
    }
    qsizetype nEnd = m_strCmdLine.indexOf(kBlank, nPos);
    m_nBegin = nPos;
    m_nEnd = nEnd < 0 ? nLen : nEnd;
    m_bHasToken = true;
}

QStringView CCommandLine::CurrentToken() const
{
    if (!m_bHasToken) {
        return {};
    }
    if (m_bArgs) {
        return QStringView(m_lstArgs.at(m_nBegin));
    }
    return QStringView(m_strCmdLine).mid(m_nBegin, m_nEnd - m_nBegin);
}

void CCommandLine::ReadToken(QString& strOut)
{
    ReadTokenFrom(0, strOut);
}

// Reads the current token from its character nSkip on.
void CCommandLine::ReadTokenFrom(qsizetype nSkip, QString& strOut)
{
    strOut.clear();
    if (!m_bHasToken) {
        return;
    }
    const QStringView token = CurrentToken().mid(nSkip);
    if (m_bArgs || !token.startsWith(kQuote)) {
        strOut = token.toString();
        return;
    }
    // A quoted run: find the first token, from this one on, that ends with a quote other than
    // the opening one. The text between the two quotes is taken as it stands in the line, so
    // blanks and runs of blanks inside the quotes are kept.
    const qsizetype nValueStart = m_nBegin + nSkip + 1;
    while (!(m_nEnd - 1 >= nValueStart && m_strCmdLine[m_nEnd - 1] == kQuote)) {
        SplitNext();
        if (!m_bHasToken) {
            return;  // unterminated: nothing more is read from the line
        }
    }
    strOut = m_strCmdLine.mid(nValueStart, m_nEnd - 1 - nValueStart);
}

int CCommandLine::GetFirstOption(QString& strOption, QString& strValue)
{
    strOption.clear();
    strValue.clear();
    Restart();
    if (!m_bHasToken) {
        return 0;
    }
    if (IsOptionStart(CurrentToken())) {
        return GetNextOption(strOption, strValue);
    }
    // The program path (or whatever stands first without being an option) and its value.
    (void)GetNextOption(strOption, strValue);
    return GetNextOption(strOption, strValue);
}

int CCommandLine::GetNextOption(QString& strOption, QString& strValue)
{
    strOption.clear();
    strValue.clear();
    if (!m_bHasToken) {
        return 0;
    }
    if (IsOptionStart(CurrentToken())) {
        ReadTokenFrom(1, strOption);
        SplitNext();
    }
    if (!m_bHasToken || IsOptionStart(CurrentToken())) {
        return 1;
    }
    ReadTokenFrom(0, strValue);
    SplitNext();
    return 1;
}
