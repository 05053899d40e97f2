#include "pages/CHDPageDataBrows.h"

#include "logging/CHVFuncLog.h"
#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "pages/CHDItemListPanel.h"
#include "pages/HVPageUi.h"
#include "pages/HVTaskPage.h"
#include "resources/HVResourceStrings.h"
#include "security/CDataSecurityMngr.h"
#include "security/CItemData.h"
#include "settings/CHDGlobalData.h"
#include "ui/CBCGButton.h"
#include "ui/CGlobalColors.h"
#include "ui/CXListCtrl.h"

#include <QPainter>

using namespace HVTaskPage;

CHDPageDataBrows::CHDPageDataBrows(CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr)
    : CHDListPageBase(
        kPageId, "CHDPageDataBrows", kHelpTopic, EThemeImage::SecureHeader, IDS_SEL_HEADING, mainDlg, mngr)
{
}

CHDPageDataBrows::~CHDPageDataBrows()
{
    OnDestroyPage();
}

CBCGButton* CHDPageDataBrows::AddButton(CBCGButton* pButton, void (CHDPageDataBrows::*pfn)())
{
    connect(pButton, &QAbstractButton::clicked, this, pfn);
    return pButton;
}

bool CHDPageDataBrows::OnInitDialog()
{
    HV_FUNC_LOG();
    const auto [nTop, nWidth, nFootTop] = BeginInit();
    const int nSideWidth = 140;

    const QRect rcList(kMargin, nTop, nWidth - 3 * kMargin - nSideWidth, nFootTop - nTop - 36);
    MakePanel(rcList, IDC_LIST);

    const int nSideX = rcList.right() + 1 + kMargin;
    int y = nTop;
    const auto side = [&](int nId, unsigned nText, void (CHDPageDataBrows::*pfn)()) {
        CBCGButton* pButton = AddButton(MakeTextButton(this, nId, HVLoadString(nText)), pfn);
        pButton->setGeometry(nSideX, y, nSideWidth, kButtonHeight);
        y += kButtonHeight + 10;
        AddAnchor(pButton, TOP_RIGHT, TOP_RIGHT);
        return pButton;
    };
    side(IDC_BUTTON_ADD_FILES, IDS_BTN_ADD_FILES, &CHDPageDataBrows::OnBnClickedAddFiles);
    side(IDC_BUTTON_ADD_FOLDER, IDS_BTN_ADD_FOLDER, &CHDPageDataBrows::OnBnClickedAddFolder);
    y += 10;
    m_pRemove = side(IDC_BUTTON_REMOVE, IDS_BTN_REMOVE, &CHDPageDataBrows::OnBnClickedRemove);
    m_pClear = side(IDC_BUTTON_CLEAR, IDS_BTN_CLEAR, &CHDPageDataBrows::OnBnClickedClear);

    // Footer: help at the left; back, next and cancel at the right.
    const int nButtonY = nFootTop + (FooterHeight() - kButtonHeight) / 2;
    CBCGButton* pHelp =
        AddButton(MakeSkinButton(this, IDC_BUTTON_HELP, EThemeImage::Btn_Help, false, HVLoadString(IDS_BTN_HELP)),
                  &CHDPageDataBrows::OnBnClickedHelp);
    pHelp->move(kMargin, nButtonY);
    CBCGButton* pCancel = AddButton(MakeTextButton(this, IDC_BUTTON_CANCEL, HVLoadString(IDS_BTN_CANCEL)),
                                    &CHDPageDataBrows::OnBnClickedBack);
    pCancel->move(nWidth - kMargin - pCancel->width(), nButtonY);
    CBCGButton* pNext =
        AddButton(MakeSkinButton(this, IDC_BUTTON_NEXT, EThemeImage::Btn_Next, true, HVLoadString(IDS_BTN_NEXT)),
                  &CHDPageDataBrows::OnBnClickedNext);
    pNext->move(pCancel->x() - 10 - pNext->width(), nButtonY);
    CBCGButton* pBack =
        AddButton(MakeSkinButton(this, IDC_BUTTON_BACK, EThemeImage::Btn_Previous, true, HVLoadString(IDS_BTN_BACK)),
                  &CHDPageDataBrows::OnBnClickedBack);
    pBack->move(pNext->x() - 6 - pBack->width(), nButtonY);

    AddAnchor(m_pPanel->List(), TOP_LEFT, BOTTOM_RIGHT);
    AddAnchor(pHelp, BOTTOM_LEFT, BOTTOM_LEFT);
    for (QWidget* pWidget :
         {static_cast<QWidget*>(pBack), static_cast<QWidget*>(pNext), static_cast<QWidget*>(pCancel)}) {
        AddAnchor(pWidget, BOTTOM_RIGHT, BOTTOM_RIGHT);
    }

    UpdateButtons();
    TakeOverCommandLineItems();
    EndInit();
    return true;
}

void CHDPageDataBrows::TakeOverCommandLineItems()
{
    if (m_mngr.m_bCmdLine != 1 || m_mngr.m_iCmdMode != CDataSecurityMngr::CmdModeSelectWindow) {
        return;
    }
    for (const auto& pItem : m_mngr.m_arrItems) {
        if (pItem != nullptr) {
            m_pPanel->AddPath(pItem->m_strPath);
        }
    }
    m_mngr.m_arrItems.clear();
    m_mngr.m_bCmdLine = 0;
    UpdateButtons();
}

void CHDPageDataBrows::OnDestroyPage()
{
    DestroyPanel();
    m_pRemove = m_pClear = nullptr;
}

bool CHDPageDataBrows::OnSetActive()
{
    HV_FUNC_LOG();
    // Back from a run ("Secure More Data"): what was wiped is gone and leaves the list.
    if (m_pPanel != nullptr && m_pPanel->RemoveMissing() > 0) {
        UpdateButtons();
    }
    return true;
}

bool CHDPageDataBrows::OnKillActive(int nNextPageId)
{
    HV_FUNC_LOG();
    if (nNextPageId == CHalvoDataSecurityDlg::kPageSecurityOptions) {
        if (m_pPanel == nullptr || m_pPanel->Count() == 0) {
            HVPageUi::ShowMessage(this, IDS_NOTHING_TO_PROCESS);
            return false;
        }
        m_mngr.m_arrItems = m_pPanel->Items();
        return true;
    }
    // The container carries out the switch itself once the page may be left.
    return HVPageUi::AskYesNo(this, IDS_ASK_LEAVE_TASK);
}

void CHDPageDataBrows::UpdateButtons()
{
    const bool bRows = m_pPanel != nullptr && m_pPanel->Count() > 0;
    if (m_pRemove != nullptr) {
        m_pRemove->setEnabled(bRows);
    }
    if (m_pClear != nullptr) {
        m_pClear->setEnabled(bRows);
    }
}

void CHDPageDataBrows::OnBnClickedAddFiles()
{
    HV_FUNC_LOG();
    AddChosenFiles(QStringLiteral("All Files (*)"), g_HDGlobalData.m_RegData.m_nResolveLinks != 0, nullptr);
}

void CHDPageDataBrows::OnBnClickedNext()
{
    SwitchTo(CHalvoDataSecurityDlg::kPageSecurityOptions);
}

void CHDPageDataBrows::OnBnClickedBack()
{
    SwitchTo(CHalvoDataSecurityDlg::kPageWelcome);
}

void CHDPageDataBrows::DropPaths(const QStringList& lstPaths)
{
    if (m_pPanel == nullptr) {
        return;
    }
    for (const QString& strPath : lstPaths) {
        m_pPanel->AddPath(strPath);
    }
    UpdateButtons();
}

void CHDPageDataBrows::PaintBody(QPainter& p)
{
    if (m_pPanel != nullptr) {
        p.setFont(g_GlobalColors.m_font12);
        p.setPen(CGlobalColors::Color(g_GlobalColors.clrDlgText));
        const QRect rcList = m_pPanel->List()->geometry();
        p.drawText(QRect(rcList.left(), rcList.bottom() + 6, rcList.width(), 20),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   HVLoadString(IDS_SEL_HINT));
    }
}
