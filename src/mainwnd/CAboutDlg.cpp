#include "mainwnd/CAboutDlg.h"

#include "logging/CHVFuncLog.h"
#include "resources/HVResourceStrings.h"
#include "settings/CHDGlobalData.h"
#include "ui/CBCGButton.h"
#include "ui/CGlobalColors.h"
#include "ui/CThemeDraw.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef HV_PROGRAM_VERSION
#define HV_PROGRAM_VERSION "0.0.0"
#endif

namespace {

constexpr int kDefaultWidth = 420;
constexpr int kDefaultHeaderHeight = 96;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* pParent)
    : CHPageDlgBase(pParent)
{
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(HVLoadString(IDS_ABOUT_TITLE));
    setSizeGripEnabled(false);
    SetBackgroundColor(CGlobalColors::Color(g_GlobalColors.clrDlgBk));
    SetTextColor(CGlobalColors::Color(g_GlobalColors.clrDlgText));
    EnableEraseBackground(false);

    const CThemeImage& header = g_GlobalColors.Image(EThemeImage::AboutHeader);
    m_nHeaderHeight = header.HasBitmap() ? header.Size().height() : kDefaultHeaderHeight;
    const int nWidth = header.HasBitmap() ? qMax(header.Size().width(), 320) : kDefaultWidth;

    auto* pName = new QLabel(HVLoadString(IDS_MAIN_WINDOW_TITLE), this);
    pName->setObjectName(QStringLiteral("aboutName"));
    pName->setFont(CGlobalColors::MakeFont(16, 700));
    auto* pVersion = new QLabel(HVFormatString(IDS_ABOUT_VERSION, ProgramVersion()), this);
    pVersion->setObjectName(QStringLiteral("aboutVersion"));
    auto* pText = new QLabel(HVLoadString(IDS_ABOUT_TEXT), this);
    pText->setObjectName(QStringLiteral("aboutText"));
    pText->setWordWrap(true);
    auto* pCopyright = new QLabel(HVLoadString(IDS_ABOUT_COPYRIGHT), this);
    pCopyright->setObjectName(QStringLiteral("aboutCopyright"));
    pCopyright->setWordWrap(true);
    auto* pLink = new CBCGButton(HVLoadString(IDS_ABOUT_LINK), this);
    pLink->setObjectName(QString::number(kLinkButtonId));
    StyleLinkButton(pLink, -1);
    connect(pLink, &QAbstractButton::clicked, this, [] { g_HDGlobalData.OpenWebLink(kWebLinkHome); });
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    pButtons->setObjectName(QStringLiteral("buttons"));
    pButtons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(20, m_nHeaderHeight + 16, 20, 14);
    pLayout->setSpacing(4);
    pLayout->addWidget(pName);
    pLayout->addWidget(pVersion);
    pLayout->addSpacing(8);
    pLayout->addWidget(pText);
    pLayout->addSpacing(8);
    pLayout->addWidget(pCopyright);
    pLayout->addWidget(pLink, 0, Qt::AlignLeft);
    pLayout->addSpacing(10);
    pLayout->addWidget(pButtons);
    setFixedWidth(nWidth);
    setFixedHeight(sizeHint().height());
}

QString CAboutDlg::ProgramVersion()
{
    return QString::fromLatin1(HV_PROGRAM_VERSION);
}

bool CAboutDlg::OnInitDialog()
{
    HV_FUNC_LOG();
    return true;
}

void CAboutDlg::paintEvent(QPaintEvent* /*pEvent*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), CGlobalColors::Color(g_GlobalColors.clrDlgBk));
    g_GlobalColors.Image(EThemeImage::AboutHeader).Draw(painter, 0, 0);
}

void CAboutDlg::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_F1 || pEvent->key() == Qt::Key_Help) {
        g_HDGlobalData.ShowHelpTopic(QString());
        pEvent->accept();
        return;
    }
    CHPageDlgBase::keyPressEvent(pEvent);
}
