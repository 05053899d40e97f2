#include "mainwnd/CMainWndEmptyPage.h"

#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "resources/HVResourceStrings.h"
#include "ui/CBCGButton.h"
#include "ui/CThemeDraw.h"

#include <QLabel>
#include <QVBoxLayout>

CMainWndEmptyPage::CMainWndEmptyPage(int nPageId, CHalvoDataSecurityDlg& mainDlg)
    : CHPageDlg(nPageId)
    , m_mainDlg(mainDlg)
{
    setObjectName(QStringLiteral("CMainWndEmptyPage_%1").arg(nPageId));
}

bool CMainWndEmptyPage::OnCreatePage()
{
    auto* pNote = new QLabel(HVLoadString(IDS_PAGE_NOT_AVAILABLE), this);
    pNote->setObjectName(QStringLiteral("pageNote"));
    pNote->setAlignment(Qt::AlignCenter);
    pNote->setWordWrap(true);
    auto* pBack = new CBCGButton(HVLoadString(IDS_PAGE_BACK_TO_START), this);
    pBack->setObjectName(QString::number(IDC_BUTTON_BACK));
    StyleLinkButton(pBack, -1);
    connect(pBack, &QAbstractButton::clicked, this, [this] {
        m_mainDlg.PostPageSwitch(CHalvoDataSecurityDlg::kPageWelcome);
    });
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addStretch(1);
    pLayout->addWidget(pNote);
    pLayout->addWidget(pBack, 0, Qt::AlignHCenter);
    pLayout->addStretch(1);
    return true;
}
