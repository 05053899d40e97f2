#pragma once

#include "ui/CHPageDlgBase.h"

#include <QStringList>

#include <functional>

class CPPHtmlStatic;
class QColor;
class CReportComposer;
class QPlainTextEdit;
class QPushButton;

// The operation report: the report's HTML in a label (1020) and two buttons. Button 4087 (and
// Escape or the close box) asks the main window for the welcome page (134) and closes; button
// 1024, captioned by the kind (170, 171, 172), asks for the secure-data selection page (105)
// after a Secure Data report and closes. Without a main window (no page-switch function) both
// only close. A label height other than -1 resizes the dialog so that the label gets it.
class CDlg_Report : public CHPageDlgBase
{
    Q_OBJECT

public:
    static constexpr int kPageWelcome = 134;
    static constexpr int kPageSecureSelection = 105;

    using PageSwitch = std::function<void(int nPageId)>;

    explicit CDlg_Report(QWidget* pParent = nullptr);

    void SetReportText(const QString& strHtml);
    void SetKind(int nKind) { m_nKind = nKind; }
    void SetLabelHeight(int nHeight) { m_nLabelHeight = nHeight; }
    // Text, kind and label height of a composed report.
    void SetReport(const CReportComposer& report);
    // The failures and notes under the report: a read-only, copyable text that the "Details"
    // button opens and closes; neither is shown when the text is empty.
    void SetDetailsText(const QString& strText);
    [[nodiscard]] QPlainTextEdit* DetailsView() const { return m_pDetails; }
    [[nodiscard]] QPushButton* DetailsButton() const { return m_pDetailsButton; }
    // Per line of the details, the path of the item it names (empty for a note). "Open
    // Containing Folder" under the open details (and a double click on a line) shows the folder
    // of the line the cursor is on; the button is enabled only on a line that names an item.
    void SetDetailPaths(const QStringList& lstPaths);
    [[nodiscard]] QPushButton* OpenFolderButton() const { return m_pOpenFolder; }
    // Opens the containing folder of the details line nLine; false when it names no item or
    // nothing was handed over.
    bool OpenFolderOfLine(int nLine);
    // The main window's page container; empty when there is none.
    void SetPageSwitch(PageSwitch fn) { m_fnPageSwitch = std::move(fn); }

    // The report's text with every colour of its mark-up made readable on clrBack (the blue
    // titles on a dark page, say); colours that already read well stay as they are.
    [[nodiscard]] static QString ReadableOn(const QString& strHtml, const QColor& clrBack);

    [[nodiscard]] int Kind() const { return m_nKind; }
    [[nodiscard]] int LabelHeight() const { return m_nLabelHeight; }
    [[nodiscard]] CPPHtmlStatic* Label() const { return m_pLabel; }

signals:
    // Also emitted where a page switch is posted (for a main window that prefers a signal).
    void PageSwitchRequested(int nPageId);

protected:
    bool OnInitDialog() override;
    void OnCancel() override;

private:
    void OnButton1024();
    void ToggleDetails();
    void UpdateOpenFolder();
    [[nodiscard]] int CurrentLine() const;
    void RequestPage(int nPageId);

    CPPHtmlStatic* m_pLabel = nullptr;
    QPushButton* m_pButton1024 = nullptr;
    QPushButton* m_pButton4087 = nullptr;
    QPushButton* m_pDetailsButton = nullptr;
    QPlainTextEdit* m_pDetails = nullptr;
    QPushButton* m_pOpenFolder = nullptr;
    QStringList m_lstDetailPaths;
    QString m_strText;
    int m_nKind = 0;
    int m_nLabelHeight = -1;
    PageSwitch m_fnPageSwitch;
};
