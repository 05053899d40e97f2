#pragma once

#include "security/SRunCounters.h"
#include "security/SRunDetails.h"

#include <QString>
#include <QStringList>

#include <vector>

// The text of the operation report shown after an interactive run, composed from the runners'
// counters. It knows no widget: the report dialog shows Html() in its label, with Kind() and
// LabelHeight(); a terminal prints PlainText() or Json().
//
// A report has one or more sections, each a title and three count lines. When a run processed
// nothing that it was asked to process, the "nothing to process" message (string 129) is shown
// first (ShowsNothingMessage); a report may still follow with the other sections.
class CReportComposer
{
public:
    enum EKind
    {
        KindSecureData = 0,
        KindDecryption = 1,
        KindHideManagement = 2,
    };

    struct SLine
    {
        unsigned nTextId = 0;
        int nCount = 0;
    };
    struct SSection
    {
        const char* pszName = "";  // "encryption", "wipe", "hide", "decryption", "unhide"
        unsigned nTitleId = 0;
        SLine lines[3];
    };

    static constexpr int kSectionHeight = 85;
    static constexpr const char* kTitleTemplate = "<font size=15 face='Tahoma' color='#0000ff'><b>%s</b></font>";

    // End of a Secure Data run: the interactive encrypt option and after-encryption action; the
    // hide counters are all 0 when the hide runner did not run.
    [[nodiscard]] static CReportComposer
    ForSecureData(bool bEncrypt, int iHidenType, const SRunCounters& run, const SHideCounters& hide);
    // End of a decryption run; bHideDecrypt when the hide management page started it.
    [[nodiscard]] static CReportComposer ForDecryption(const SRunCounters& run, bool bHideDecrypt);
    // After an unhide command of the hide management page.
    [[nodiscard]] static CReportComposer ForUnhide(int nTaken, int nShown, int nFailed);

    // What the counters do not say: each failure with its reason, weak-medium wipes, a cancel.
    // A run refused before it began (no space, another run) has said why already: the
    // "nothing to process" message is then not shown.
    void AddDetails(const SRunDetails& details);

    [[nodiscard]] bool ShowsNothingMessage() const { return m_bNothingMessage && !m_bRefused; }
    [[nodiscard]] QString NothingMessage() const;  // string 129
    [[nodiscard]] bool HasReport() const { return !m_sections.empty() || !m_lstDetails.isEmpty(); }
    // One line per note and per failure ("path: step: reason"); empty when all went well.
    [[nodiscard]] QString DetailsText() const;
    [[nodiscard]] const QStringList& DetailLines() const { return m_lstDetails; }
    // Per detail line, the path of the item it is about; empty for a note.
    [[nodiscard]] const QStringList& DetailPaths() const { return m_lstDetailPaths; }
    [[nodiscard]] int Kind() const { return m_nKind; }
    [[nodiscard]] int LabelHeight() const { return kSectionHeight * static_cast<int>(m_sections.size()); }
    [[nodiscard]] const std::vector<SSection>& Sections() const { return m_sections; }

    // The label's text: per section the title in the title template, two line breaks, the
    // three count lines each followed by a line break, and one more line break.
    [[nodiscard]] QString Html() const;
    // Title, the three lines, an empty line between sections; the message first when there is
    // one; the details last.
    [[nodiscard]] QString PlainText() const;
    // {"kind":..,"labelHeight":..,"message":text or null,"sections":[{"section","title",
    //  "lines":[{"text","count"}x3]}], "cancelled", "notStarted", "weakMedium":{"count","kind"},
    //  "failures":[{"path","step","reason"}]}
    [[nodiscard]] QString Json() const;

private:
    void Add(const char* pszName, unsigned nTitleId, SLine a, SLine b, SLine c);

    std::vector<SSection> m_sections;
    int m_nKind = KindSecureData;
    bool m_bNothingMessage = false;
    bool m_bRefused = false;
    QStringList m_lstDetails;
    QStringList m_lstDetailPaths;
    bool m_bCancelled = false;
    int m_nNotStarted = 0;
    int m_nWeak = 0;
    QString m_strWeak;
    std::vector<SRunProblem> m_problems;
};
