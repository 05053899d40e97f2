#pragma once

#include "xml/CXmlRecordStore.h"
#include "xml/XmlBase64.h"
#include "xml/XmlEntities.h"
#include "xml/XmlUtf.h"

#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One XML document held as a single UTF-16 string plus an index of its elements.
//
// Offers cursor navigation (parent, main and child positions; 0 is the document level), reading
// element text, appending elements and replacing element text in place, loading and saving files
// with encoding detection. Parsing is lenient: a malformed document is indexed as far as it
// goes, the first error is kept in the result text and the parse reports whether the document is
// well-formed. All offsets count UTF-16 code units from the start of the document.
//
// Failures are return values; no exception leaves this class (running out of memory included,
// which is reported as a failed parse or edit).
class CXmlDocument
{
public:
    // Document flags.
    static constexpr uint32_t kDocUtf16LeBom = 0x1;  // file read/written as UTF-16LE with mark
    static constexpr uint32_t kDocModified = 0x2;
    static constexpr uint32_t kDocUtf8Bom = 0x4;     // file read/written as UTF-8 with mark
    static constexpr uint32_t kDocIgnoreCase = 0x8;  // tag names compare without regard to case

    // Flags of AppendElement and SetElementData.
    static constexpr int kAppendCData = 0x1;             // data as a CDATA section
    static constexpr int kAppendNoLineBreak = 0x2;       // no "\r\n" after the new element
    static constexpr int kAppendSpaceBeforeSlash = 0x4;  // "<name />" for an element without data
    static constexpr int kAppendKeepRefs = 0x8;          // keep well-formed entity references
    static constexpr int kAppendNoEndTag = 0x10;         // "<name>" without end tag; data must be empty
    static constexpr int kAppendEscapeQuotes = 0x100;    // escape '"' and '\'' too
    static constexpr int kAppendReplace = 0x1000;        // replace the main element's content
    static constexpr int kAppendBefore = 0x2000;         // insert before the reference element
    static constexpr int kAppendAsChild = 0x4000;        // append under the main position

    CXmlDocument();

    // Document.
    [[nodiscard]] bool SetDocument(const QString& strText);
    [[nodiscard]] bool SetDocument(std::u16string strText);
    [[nodiscard]] bool LoadFile(const QString& strPath);
    // Replaces the file atomically (temporary file in the same folder, synced, renamed over it).
    // nMode >= 0: the file has exactly these permission bits (see CXmlFile::Write).
    [[nodiscard]] bool SaveFile(const QString& strPath, int nMode = -1);
    [[nodiscard]] QString GetDocument() const;
    [[nodiscard]] const std::u16string& GetDocumentText() const { return m_strDoc; }
    [[nodiscard]] QString GetResultText() const { return m_strResult; }
    [[nodiscard]] uint32_t GetDocFlags() const { return m_nDocFlags; }
    void SetDocFlags(uint32_t nFlags) { m_nDocFlags = nFlags; }
    [[nodiscard]] bool IsWellFormed() const;

    // Navigation: true on success; the cursor is unchanged on failure.
    // FindElement searches the siblings after the main position (the parent's children from the
    // first when the main position is 0); FindChildElement the main element's children after the
    // child position. Both take a name or a path: steps separated by '/', each a name or '*' with
    // at most one predicate ([N], [@attr], [childname]); a leading "/" starts at the document
    // level; a leading "//" (one step only) searches in document order after the position, through
    // the whole document for FindElement and through the main element's subtree for
    // FindChildElement, so repeated calls visit every match.
    [[nodiscard]] bool FindElement(const QString& strName = QString());
    [[nodiscard]] bool FindChildElement(const QString& strName = QString());
    void RestartChildSearch();
    [[nodiscard]] bool EnterElement();
    [[nodiscard]] bool LeaveElement();
    void ResetPos();
    [[nodiscard]] uint32_t GetParentPosition() const { return m_iPosParent; }
    [[nodiscard]] uint32_t GetMainPosition() const { return m_iPos; }
    [[nodiscard]] uint32_t GetChildPosition() const { return m_iPosChild; }
    [[nodiscard]] int GetNodeType() const { return m_nNodeType; }

    // Saved positions (named cursor states); emptied by every parse.
    void SavePos(const QString& strName);
    [[nodiscard]] bool RestorePos(const QString& strName);

    // Reading.
    [[nodiscard]] QString GetElementData() const { return ElementData(m_iPos); }
    [[nodiscard]] QString GetChildElementData() const { return ElementData(m_iPosChild); }
    [[nodiscard]] QString GetTagName() const { return TagNameOf(m_iPos); }
    [[nodiscard]] QString GetChildTagName() const { return TagNameOf(m_iPosChild); }

    // Writing. AppendElement inserts after the main position (as first child of the parent when
    // it is 0; at the end of the text at the document level), or with kAppendAsChild under the
    // main element after the child position (as last child when it is 0). Names must be a whole
    // tag name (letter, '_', ':' or a character from 'a' up first; no blanks, '/', '>', '<', '&',
    // quotes, '=', '[' or ']'; at most 1020 characters), otherwise the append fails.
    // SetElementData takes a record position such as GetMainPosition().
    [[nodiscard]] bool AppendElement(const QString& strName, const QString& strData = QString(), int nFlags = 0);
    [[nodiscard]] bool AppendElementInt(const QString& strName, int nValue, int nFlags = 0);
    [[nodiscard]] bool SetElementData(uint32_t iPos, const QString& strData, int nFlags = 0);
    [[nodiscard]] bool SetElementDataInt(uint32_t iPos, int nValue);

    // The index, for inspection.
    [[nodiscard]] uint32_t GetRecordCount() const { return m_store.NextFree(); }
    [[nodiscard]] bool GetRecord(uint32_t i, SXmlElemRecord& rec) const;
    // Checks that the index is a proper tree whose records lie inside the text and nest.
    [[nodiscard]] bool IsIndexConsistent() const;

private:
    struct SSavedPos
    {
        QString strName;
        uint32_t iParent;
        uint32_t iPos;
        uint32_t iChild;
    };

    bool Parse();
    void SetCursor(uint32_t iParent, uint32_t iPos, uint32_t iChild);
    [[nodiscard]] QString ElementData(uint32_t i) const;
    [[nodiscard]] QString TagNameOf(uint32_t i) const;
    [[nodiscard]] uint32_t
    FindPath(const QString& strPath, uint32_t iParent, uint32_t iAfter, uint32_t iDeepScope) const;
    [[nodiscard]] bool Append(const QString& strName, const QString& strData, int nFlags);
    [[nodiscard]] bool CheckSubtree(uint32_t iParent, uint64_t nCount) const;

    std::u16string m_strDoc;
    QString m_strResult;
    uint32_t m_iPosParent = 0;
    uint32_t m_iPos = 0;
    uint32_t m_iPosChild = 0;
    int m_nNodeType = 0;
    uint32_t m_nNodeOffset = 0;
    uint32_t m_nNodeLength = 0;
    uint32_t m_nDocFlags = 0;
    std::array<std::vector<SSavedPos>, 7> m_savedPos;
    CXmlRecordStore m_store;
};
