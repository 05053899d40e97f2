#include "security/CDlg_Report.h"

#include "passwords/CGuiDialogHeader.h"
#include "resources/HVResourceStrings.h"
#include "security/CReportComposer.h"
#include "settings/CHDGlobalData.h"
#include "ui/CPPHtmlStatic.h"
#include "ui/HVControlStates.h"
#include "ui/HVUiTheme.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kWidth = 440;
constexpr int kHeader = 44;
constexpr int kMargin = 16;
constexpr int kLabelDefault = 120;
constexpr int kButtonHeight = 28;

}  // namespace

CDlg_Report::CDlg_Report(QWidget* pParent)
    : CHPageDlgBase(pParent)
{
    setObjectName(QStringLiteral("CDlg_Report"));
    setWindowTitle(HVLoadString(IDS_REPORT_TITLE));

    auto* pHeader = new CGuiDialogHeader(HVLoadString(IDS_REPORT_TITLE), this);
    pHeader->setGeometry(0, 0, kWidth, kHeader);

    m_pLabel = new CPPHtmlStatic(this);
    m_pLabel->setObjectName(QStringLiteral("1020"));
    m_pLabel->setGeometry(kMargin, kHeader + 12, kWidth - 2 * kMargin, kLabelDefault);

    const int nButtonsTop = kHeader + 12 + kLabelDefault + 12;
    m_pButton4087 = new QPushButton(HVLoadString(IDS_REPORT_BTN_HOME), this);
    m_pButton4087->setObjectName(QStringLiteral("4087"));
    m_pButton1024 = new QPushButton(this);
    m_pButton1024->setObjectName(QStringLiteral("1024"));
    m_pButton1024->setDefault(true);
    const int nButtonWidth = 180;
    m_pButton1024->setGeometry(kWidth - kMargin - nButtonWidth, nButtonsTop, nButtonWidth, kButtonHeight);
    // Main Page is narrower, so that it leaves room for the Details button at the left.
    const int nHomeWidth = 130;
    m_pButton4087->setGeometry(
        kWidth - kMargin - nButtonWidth - 8 - nHomeWidth, nButtonsTop, nHomeWidth, kButtonHeight);
    resize(kWidth, nButtonsTop + kButtonHeight + 14);
    setMinimumSize(kWidth, kHeader + 60);

    AddAnchor(pHeader, TOP_LEFT, TOP_RIGHT);
    AddAnchor(m_pLabel, TOP_LEFT, BOTTOM_RIGHT);
    AddAnchor(m_pButton4087, BOTTOM_RIGHT, BOTTOM_RIGHT);
    AddAnchor(m_pButton1024, BOTTOM_RIGHT, BOTTOM_RIGHT);

    m_pDetailsButton = new QPushButton(QStringLiteral("Details"), this);
    m_pDetailsButton->setObjectName(QStringLiteral("reportDetailsButton"));
    m_pDetailsButton->setCheckable(true);
    m_pDetailsButton->setGeometry(kMargin, nButtonsTop, 84, kButtonHeight);
    m_pDetailsButton->hide();
    m_pDetails = new QPlainTextEdit(this);
    m_pDetails->setObjectName(QStringLiteral("reportDetails"));
    m_pDetails->setReadOnly(true);
    m_pDetails->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pDetails->hide();
    AddAnchor(m_pDetailsButton, BOTTOM_LEFT, BOTTOM_LEFT);
    m_pOpenFolder = new QPushButton(QStringLiteral("Open Containing Folder"), this);
    m_pOpenFolder->setObjectName(QStringLiteral("reportOpenFolder"));
    m_pOpenFolder->setAccessibleName(m_pOpenFolder->text());
    m_pOpenFolder->setAccessibleDescription(QStringLiteral("Shows the folder of the item on the selected line"));
    m_pOpenFolder->setEnabled(false);
    m_pOpenFolder->hide();
    connect(m_pOpenFolder, &QPushButton::clicked, this, [this] { (void)OpenFolderOfLine(CurrentLine()); });
    connect(m_pDetails, &QPlainTextEdit::cursorPositionChanged, this, &CDlg_Report::UpdateOpenFolder);

    connect(m_pButton4087, &QPushButton::clicked, this, &CDlg_Report::OnCancel);
    connect(m_pDetailsButton, &QPushButton::clicked, this, &CDlg_Report::ToggleDetails);
    connect(m_pButton1024, &QPushButton::clicked, this, &CDlg_Report::OnButton1024);
}

void CDlg_Report::SetReportText(const QString& strHtml)
{
    m_strText = strHtml;
    m_pLabel->SetWindowText(strHtml);
}

void CDlg_Report::SetDetailsText(const QString& strText)
{
    m_pDetails->setPlainText(strText);
    m_pDetailsButton->setVisible(!strText.isEmpty());
    m_pDetailsButton->setText(QStringLiteral("Details (%1)").arg(strText.count(u'\n')));
}

void CDlg_Report::ToggleDetails()
{
    // The details open between the report and the buttons, with "Open Containing Folder" under
    // them: the dialog grows by their height (the label follows the resize) and the label gives
    // that height to them.
    constexpr int kDetailsHeight = 160;
    constexpr int kGap = 8;
    constexpr int kOpenWidth = 180;
    const int nGrow = kDetailsHeight + kGap + kButtonHeight + kGap;
    const bool bOpen = m_pDetailsButton->isChecked();
    if (bOpen == m_pDetails->isVisible()) {
        return;
    }
    if (bOpen) {
        resize(width(), height() + nGrow);
        const QRect label = m_pLabel->geometry();
        m_pLabel->setGeometry(label.x(), label.y(), label.width(), label.height() - nGrow);
        const int nTop = label.bottom() - nGrow + kGap;
        m_pDetails->setGeometry(label.x(), nTop, label.width(), kDetailsHeight);
        m_pOpenFolder->setGeometry(
            label.right() + 1 - kOpenWidth, nTop + kDetailsHeight + kGap, kOpenWidth, kButtonHeight);
        m_pDetails->show();
        // The cursor starts on the first line that names an item, ready for the button.
        const qsizetype nFirst = std::find_if(m_lstDetailPaths.cbegin(),
                                              m_lstDetailPaths.cend(),
                                              [](const QString& s) { return !s.isEmpty(); })
                                 - m_lstDetailPaths.cbegin();
        m_pOpenFolder->setVisible(nFirst < m_lstDetailPaths.size());
        if (nFirst < m_lstDetailPaths.size() && m_lstDetailPaths.value(CurrentLine()).isEmpty()) {
            m_pDetails->setTextCursor(QTextCursor(m_pDetails->document()->findBlockByNumber(static_cast<int>(nFirst))));
        }
        UpdateOpenFolder();
    } else {
        m_pDetails->hide();
        m_pOpenFolder->hide();
        resize(width(), height() - nGrow);
    }
}

void CDlg_Report::SetDetailPaths(const QStringList& lstPaths)
{
    m_lstDetailPaths = lstPaths;
    UpdateOpenFolder();
}

int CDlg_Report::CurrentLine() const
{
    return m_pDetails->textCursor().blockNumber();
}

void CDlg_Report::UpdateOpenFolder()
{
    m_pOpenFolder->setEnabled(!m_lstDetailPaths.value(CurrentLine()).isEmpty());
}

bool CDlg_Report::OpenFolderOfLine(int nLine)
{
    const QString strPath = m_lstDetailPaths.value(nLine);
    return !strPath.isEmpty() && g_HDGlobalData.OpenContainingFolder(strPath);
}

void CDlg_Report::SetReport(const CReportComposer& report)
{
    SetReportText(report.Html());
    SetDetailsText(report.DetailsText());
    SetDetailPaths(report.DetailPaths());
    SetKind(report.Kind());
    SetLabelHeight(report.LabelHeight());
}

bool CDlg_Report::OnInitDialog()
{
    const QColor clrBk = HVUi::ThemeColor(QStringLiteral("clrDlgBk"), palette().window().color());
    SetBackgroundColor(clrBk);
    SetTextColor(HVUi::ThemeColor(QStringLiteral("clrDlgText"), palette().windowText().color()));
    m_pLabel->SetWindowText(ReadableOn(m_strText, clrBk));
    m_pLabel->SetBkColor(clrBk);
    switch (m_nKind) {
    case 0:
        m_pButton1024->setText(HVLoadString(IDS_REPORT_BTN_SECURE));
        break;
    case 1:
        m_pButton1024->setText(HVLoadString(IDS_REPORT_BTN_DECRYPT));
        break;
    case 2:
        m_pButton1024->setText(HVLoadString(IDS_REPORT_BTN_HIDE));
        break;
    default:
        break;
    }
    if (m_nLabelHeight != -1) {
        // Same width and place; the label ends up with the height asked for.
        const int nHeight = height() - m_pLabel->height() + m_nLabelHeight;
        setMinimumHeight(qMin(minimumHeight(), nHeight));
        resize(width(), nHeight);
        ArrangeLayout();
    }
    return true;
}

QString CDlg_Report::ReadableOn(const QString& strHtml, const QColor& clrBack)
{
    static const QRegularExpression s_colour(QStringLiteral("color='(#[0-9A-Fa-f]{6})'"));
    QString strOut;
    qsizetype nDone = 0;
    for (auto it = s_colour.globalMatch(strHtml); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        strOut += strHtml.mid(nDone, match.capturedStart(1) - nDone);
        strOut += HVUi::Readable(QColor(match.captured(1)), clrBack).name();
        nDone = match.capturedEnd(1);
    }
    return strOut + strHtml.mid(nDone);
}

void CDlg_Report::RequestPage(int nPageId)
{
    if (m_fnPageSwitch) {
        m_fnPageSwitch(nPageId);
        emit PageSwitchRequested(nPageId);
    }
}

void CDlg_Report::OnCancel()
{
    RequestPage(kPageWelcome);
    QDialog::accept();
}

void CDlg_Report::OnButton1024()
{
    if (m_nKind == 0) {
        RequestPage(kPageSecureSelection);
    }
    QTimer::singleShot(0, this, [this] { QDialog::accept(); });
}
