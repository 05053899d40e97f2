// The tokenizer's searches, and what it remembers of the ones that failed.

#include "xml/CXmlTokenizer.h"

#include <cstdint>

void CXmlTokenizer::NoteMissing(EMiss eMiss, uint32_t nFrom)
{
    if (nFrom < m_aMissFrom[eMiss]) {
        m_aMissFrom[eMiss] = nFrom;
    }
}

uint32_t CXmlTokenizer::Find(uint32_t nFrom, char16_t c)
{
    const EMiss eMiss = c == u'<' ? kMissOpen : kMissClose;
    if (KnownMissing(eMiss, nFrom)) {
        return m_nEnd;
    }
    for (uint32_t i = nFrom; i < m_nEnd; ++i) {
        if (m_pText[i] == c) {
            return i;
        }
    }
    NoteMissing(eMiss, nFrom);
    return m_nEnd;
}

uint32_t CXmlTokenizer::Find(uint32_t nFrom, const char16_t* pszSeq, uint32_t nSeqLen, EMiss eMiss)
{
    if (KnownMissing(eMiss, nFrom)) {
        return m_nEnd;
    }
    for (uint32_t i = nFrom; i < m_nEnd && m_nEnd - i >= nSeqLen; ++i) {
        uint32_t k = 0;
        while (k < nSeqLen && m_pText[i + k] == pszSeq[k]) {
            ++k;
        }
        if (k == nSeqLen) {
            return i;
        }
    }
    NoteMissing(eMiss, nFrom);
    return m_nEnd;
}

uint32_t CXmlTokenizer::FindNameEnd(uint32_t nFrom)
{
    if (KnownMissing(kMissNameEnd, nFrom)) {
        return m_nEnd;
    }
    uint32_t j = nFrom;
    while (j < m_nEnd && !IsNameEnd(m_pText[j])) {
        ++j;
    }
    if (j >= m_nEnd) {
        NoteMissing(kMissNameEnd, nFrom);
    }
    return j;
}

// The closing '>' of a tag from nFrom on, outside quoted attribute values, or m_nEnd. Two scans
// that meet at one position in one quote state go on alike, so a scan that reaches a position
// and state a failed scan passed through fails too; each position and state is passed at most
// once by failed scans.
uint32_t CXmlTokenizer::ScanTagEnd(uint32_t nFrom)
{
    uint8_t nState = 1;
    uint32_t j = nFrom;
    const bool bKnown = !m_tagDeadEnds.empty();
    for (; j < m_nEnd; ++j) {
        if (bKnown && (m_tagDeadEnds[j - m_nBegin] & nState) != 0) {
            break;
        }
        const char16_t d = m_pText[j];
        if (d == u'"' && nState != 4) {
            nState = nState == 2 ? 1 : 2;
        } else if (d == u'\'' && nState != 2) {
            nState = nState == 4 ? 1 : 4;
        } else if (d == u'>' && nState == 1) {
            return j;
        }
    }
    // Failed: mark the way taken, replaying the states from the start.
    if (!bKnown) {
        m_tagDeadEnds.assign(m_nEnd - m_nBegin, 0);
    }
    const uint32_t nStop = j;
    nState = 1;
    for (j = nFrom; j < nStop; ++j) {
        m_tagDeadEnds[j - m_nBegin] |= nState;
        const char16_t d = m_pText[j];
        if (d == u'"' && nState != 4) {
            nState = nState == 2 ? 1 : 2;
        } else if (d == u'\'' && nState != 2) {
            nState = nState == 4 ? 1 : 4;
        }
    }
    return m_nEnd;
}

bool CXmlTokenizer::DocTypeKnownUnterminated(uint32_t nFrom) const
{
    return !m_docTypeOpenToEnd.empty() && nFrom >= m_nDocTypeFrom && m_docTypeOpenToEnd[nFrom - m_nDocTypeFrom] != 0;
}

// A doctype scanned from nFrom (its '<') ran to the end. Its depth never went below zero, and a
// doctype opened at a later '<' inside it is unterminated exactly when the depth after that '<'
// is never undercut afterwards. The depths are recovered backwards from the final one: every '>'
// of a failed scan lowered the depth, every '<' raised it.
void CXmlTokenizer::NoteDocTypeUnterminated(uint32_t nFrom)
{
    if (!m_docTypeOpenToEnd.empty()) {
        return;
    }
    uint64_t nDepth = 0;
    for (uint32_t j = nFrom + 3; j < m_nEnd; ++j) {
        nDepth += m_pText[j] == u'<' ? 1 : 0;
        nDepth -= m_pText[j] == u'>' ? 1 : 0;
    }
    m_nDocTypeFrom = nFrom;
    m_docTypeOpenToEnd.assign(m_nEnd - nFrom, 0);
    uint64_t nMinAfter = UINT64_MAX;
    for (uint32_t j = m_nEnd; j > nFrom + 3; --j) {
        const char16_t d = m_pText[j - 1];
        m_docTypeOpenToEnd[j - 1 - nFrom] = nDepth <= nMinAfter ? 1 : 0;
        nMinAfter = nDepth < nMinAfter ? nDepth : nMinAfter;
        nDepth -= d == u'<' ? 1 : 0;
        nDepth += d == u'>' ? 1 : 0;
    }
}
