#include "security/CReportComposer.h"

#include "globalfuncs/HVPathText.h"
#include "resources/HVResourceStrings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace {

constexpr int kHideAction = 1;
constexpr int kWipeAction = 2;

QString Bytes(const std::string& str)
{
    // A name that is not UTF-8 is shown with replacement characters.
    return QString::fromUtf8(str.data(), static_cast<qsizetype>(str.size()));
}

QString LineText(const CReportComposer::SLine& line)
{
    return HVFormatString(line.nTextId, line.nCount);
}

}  // namespace

void CReportComposer::Add(const char* pszName, unsigned nTitleId, SLine a, SLine b, SLine c)
{
    m_sections.push_back(SSection{pszName, nTitleId, {a, b, c}});
}

CReportComposer
CReportComposer::ForSecureData(bool bEncrypt, int iHidenType, const SRunCounters& run, const SHideCounters& hide)
{
    CReportComposer r;
    r.m_nKind = KindSecureData;
    if (bEncrypt) {
        if (run.m_nProcessed > 0) {
            r.Add("encryption",
                  IDS_ENC_TITLE,
                  {IDS_ENC_PROCESSED, run.m_nProcessed},
                  {IDS_ENC_SUCCEEDED, run.m_nSucceeded},
                  {IDS_ENC_FAILED, run.m_nFailed});
        } else {
            r.m_bNothingMessage = true;
        }
    }
    const bool bWipeAsked = iHidenType == kWipeAction || (bEncrypt && iHidenType == kHideAction);
    if (bWipeAsked && run.m_nWipeAttempted > 0) {
        r.Add("wipe",
              IDS_WIPE_TITLE,
              {IDS_WIPE_PROCESSED, run.m_nWipeAttempted},
              {IDS_WIPE_SUCCEEDED, run.m_nWipeSucceeded},
              {IDS_WIPE_FAILED, run.m_nWipeFailed});
    }
    if (iHidenType == kHideAction) {
        r.Add("hide",
              IDS_HIDE_TITLE,
              {IDS_HIDE_PROCESSED, hide.m_nProcessed},
              {IDS_HIDE_SUCCEEDED, hide.m_nSucceeded},
              {IDS_HIDE_FAILED, hide.m_nFailed});
    }
    return r;
}

CReportComposer CReportComposer::ForDecryption(const SRunCounters& run, bool bHideDecrypt)
{
    CReportComposer r;
    r.m_nKind = bHideDecrypt ? KindHideManagement : KindDecryption;
    if (run.m_nProcessed > 0) {
        r.Add("decryption",
              IDS_DEC_TITLE,
              {IDS_DEC_PROCESSED, run.m_nProcessed},
              {IDS_DEC_SUCCEEDED, run.m_nSucceeded},
              {IDS_DEC_FAILED, run.m_nFailed});
    } else {
        r.m_bNothingMessage = true;
    }
    return r;
}

CReportComposer CReportComposer::ForUnhide(int nTaken, int nShown, int nFailed)
{
    CReportComposer r;
    r.m_nKind = KindHideManagement;
    r.Add("unhide",
          IDS_UNHIDE_TITLE,
          {IDS_UNHIDE_PROCESSED, nTaken},
          {IDS_UNHIDE_SUCCEEDED, nShown},
          {IDS_UNHIDE_FAILED, nFailed});
    return r;
}

void CReportComposer::AddDetails(const SRunDetails& d)
{
    if (!d.strRefusal.empty()) {
        m_bRefused = true;
        m_lstDetails << Bytes(d.strRefusal);
    }
    if (d.bCancelled) {
        m_bCancelled = true;
        m_nNotStarted += d.nNotStarted;
        m_lstDetails << QStringLiteral("The run was cancelled; %1 file(s) were not started.").arg(d.nNotStarted);
    }
    if (d.nWeakMediumWipes > 0) {
        if (m_strWeak.isEmpty()) {
            m_strWeak = Bytes(d.strWeakMedium);
        }
        m_nWeak += d.nWeakMediumWipes;
        m_lstDetails << QStringLiteral("%1 wiped file(s) were on a medium where old copies may survive the wipe (%2).")
                            .arg(d.nWeakMediumWipes)
                            .arg(Bytes(d.strWeakMedium));
    }
    m_lstDetailPaths.resize(m_lstDetails.size());
    for (const SRunProblem& p : d.problems) {
        m_problems.push_back(p);
        m_lstDetails << QStringLiteral("%1: %2: %3").arg(Bytes(p.strPath), Bytes(p.strStep), Bytes(p.strReason));
        m_lstDetailPaths << HVGlobalMFC::HVPathFromBytes(p.strPath);
    }
}

QString CReportComposer::DetailsText() const
{
    return m_lstDetails.isEmpty() ? QString() : m_lstDetails.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString CReportComposer::NothingMessage() const
{
    return HVLoadString(IDS_NOTHING_TO_PROCESS);
}

QString CReportComposer::Html() const
{
    const QString strTemplate = QString::fromLatin1(kTitleTemplate);
    const QString strBreak = QStringLiteral("<br>");
    QString out;
    for (const SSection& s : m_sections) {
        // The texts are plain: nothing in them may open a tag of the label.
        out += HVFormatText(strTemplate, {HVLoadString(s.nTitleId).toHtmlEscaped()});
        out += strBreak + strBreak;
        out += LineText(s.lines[0]).toHtmlEscaped() + strBreak;
        out += LineText(s.lines[1]).toHtmlEscaped() + strBreak;
        out += LineText(s.lines[2]).toHtmlEscaped() + strBreak + strBreak;
    }
    return out;
}

QString CReportComposer::PlainText() const
{
    QStringList parts;
    if (ShowsNothingMessage()) {
        parts << NothingMessage();
    }
    for (const SSection& s : m_sections) {
        QString block = HVLoadString(s.nTitleId);
        for (const SLine& line : s.lines) {
            block += QLatin1Char('\n') + LineText(line);
        }
        parts << block;
    }
    if (!m_lstDetails.isEmpty()) {
        parts << QStringLiteral("Details:\n") + m_lstDetails.join(QLatin1Char('\n'));
    }
    return parts.isEmpty() ? QString() : parts.join(QStringLiteral("\n\n")) + QLatin1Char('\n');
}

QString CReportComposer::Json() const
{
    QJsonArray sections;
    for (const SSection& s : m_sections) {
        QJsonArray lines;
        for (const SLine& line : s.lines) {
            lines.append(QJsonObject{{QStringLiteral("text"), LineText(line)}, {QStringLiteral("count"), line.nCount}});
        }
        sections.append(QJsonObject{{QStringLiteral("section"), QString::fromLatin1(s.pszName)},
                                    {QStringLiteral("title"), HVLoadString(s.nTitleId)},
                                    {QStringLiteral("lines"), lines}});
    }
    QJsonArray failures;
    for (const SRunProblem& p : m_problems) {
        failures.append(QJsonObject{{QStringLiteral("path"), Bytes(p.strPath)},
                                    {QStringLiteral("step"), Bytes(p.strStep)},
                                    {QStringLiteral("reason"), Bytes(p.strReason)}});
    }
    QJsonObject root{{QStringLiteral("kind"), m_nKind},
                     {QStringLiteral("labelHeight"), HasReport() ? LabelHeight() : 0},
                     {QStringLiteral("message"), ShowsNothingMessage() ? QJsonValue(NothingMessage()) : QJsonValue()},
                     {QStringLiteral("sections"), sections},
                     {QStringLiteral("cancelled"), m_bCancelled},
                     {QStringLiteral("notStarted"), m_nNotStarted},
                     {QStringLiteral("weakMedium"),
                      QJsonObject{{QStringLiteral("count"), m_nWeak}, {QStringLiteral("kind"), m_strWeak}}},
                     {QStringLiteral("failures"), failures},
                     {QStringLiteral("details"), QJsonArray::fromStringList(m_lstDetails)}};
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact));
}
