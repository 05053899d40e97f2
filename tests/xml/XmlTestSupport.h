#pragma once

#include "xml/CXmlDocument.h"

#include <QString>

#include <ostream>
#include <vector>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

// The index in document order, as (start, length, start-tag, end-tag, level, no-end-tag)
// rows, so that an index maintained by edits can be compared with a fresh parse of its text.
inline std::vector<std::vector<uint32_t>> IndexRows(const CXmlDocument& doc)
{
    std::vector<std::vector<uint32_t>> rows;
    SXmlElemRecord rec;
    if (!doc.GetRecord(0, rec)) {
        return rows;
    }
    std::vector<uint32_t> work;
    for (uint32_t c = rec.iElemChild; c;) {
        SXmlElemRecord r;
        if (!doc.GetRecord(c, r)) {
            break;
        }
        rows.push_back({r.nStart,
                        r.nLength,
                        r.StartTagLen(),
                        r.EndTagLen(),
                        r.Level(),
                        (r.nFlags & XmlElem::kNoEndTag) ? 1u : 0u});
        if (r.iElemChild) {
            c = r.iElemChild;
            continue;
        }
        while (c) {
            SXmlElemRecord up;
            (void)doc.GetRecord(c, up);
            if (up.iElemNext) {
                c = up.iElemNext;
                break;
            }
            c = up.iElemParent;
        }
    }
    return rows;
}

inline bool SameIndexAsFreshParse(const CXmlDocument& doc)
{
    CXmlDocument fresh;
    fresh.SetDocFlags(doc.GetDocFlags());
    (void)fresh.SetDocument(doc.GetDocument());
    return doc.IsIndexConsistent() && IndexRows(fresh) == IndexRows(doc);
}
