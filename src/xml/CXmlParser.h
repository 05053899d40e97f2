#pragma once

#include "xml/CXmlRecordStore.h"

#include <QString>

#include <string>

struct SXmlToken;
class CXmlTagStack;

// The lenient parser: indexes every element of the text into the record store under record 0.
// It never stops at an error; the first error is kept as text and the error flags are set.
class CXmlParser
{
public:
    CXmlParser(const std::u16string& strText, CXmlRecordStore& store, bool bIgnoreCase);

    // Parses the whole text; returns the first error (empty when none was found).
    QString Parse();

private:
    void OnStartTag(const SXmlToken& tok, CXmlTagStack& stack);
    void OnEndTag(const SXmlToken& tok, CXmlTagStack& stack);
    void SetErrorFlags(const CXmlTagStack& stack);
    void SetError(const QString& strError);
    // Closes the open elements above stack position nKeep without end tag.
    void CloseOpenAbove(CXmlTagStack& stack, size_t nKeep);
    void AssignLevels();
    [[nodiscard]] QString NameAt(uint32_t nStart, uint32_t nLength) const;

    const std::u16string& m_strText;
    CXmlRecordStore& m_store;
    bool m_bIgnoreCase;
    bool m_bUnwrapped = false;
    bool m_bHaveError = false;
    QString m_strError;
};
