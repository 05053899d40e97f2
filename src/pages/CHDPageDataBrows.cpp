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

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

using namespace HVTaskPage;

CHDPageDataBrows::CHDPageDataBrows(CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr)
    : CHPageDlg(kPageId)
    , m_mainDlg(mainDlg)
    , m_mngr(mngr)
{
    setObjectName(QStringLiteral("CHDPageDataBrows"));
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
    SetBackgroundColor(CGlobalColors::Color(g_GlobalColors.clrDlgBk));
    SetTextColor(CGlobalColors::Color(g_GlobalColors.clrDlgText));
    EnableEraseBackground(false);
    setAcceptDrops(true);
    resize(kDesignSize);
    const int nWidth = kDesignSize.width();
    const int nHeight = kDesignSize.height();
    const int nTop = HeaderHeight(EThemeImage::SecureHeader) + 40;
    const int nFootTop = nHeight - FooterHeight();
    const int nSideWidth = 140;

    const QRect rcList(kMargin, nTop, nWidth - 3 * kMargin - nSideWidth, nFootTop - nTop - 36);
    m_pPanel = new CHDItemListPanel(this, rcList, IDC_LIST);
    connect(m_pPanel, &CHDItemListPanel::ContextMenuRequested, this, [this](const QPoint& pos) {
        OnCommand(m_pPanel->TrackContextMenu(pos));
    });

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

    m_mngr.m_pPageBrowse = this;
    UpdateButtons();
    TakeOverCommandLineItems();
    if (parentWidget() != nullptr && !parentWidget()->size().isEmpty()) {
        resize(parentWidget()->size());
    }
    return true;
}

void CHDPageDataBrows::TakeOverCommandLineItems()
{
    if (m_mngr.m_bCmdLine != 1 || m_mngr.m_iCmdMode != CDataSecurityMngr::CmdModeSelectWindow) {
        return;
    }
    for (CItemData* pItem : std::as_const(m_mngr.m_arrItems)) {
        if (pItem != nullptr) {
            m_pPanel->AddPath(pItem->m_strPath);
        }
        delete pItem;
    }
    m_mngr.m_arrItems.clear();
    m_mngr.m_bCmdLine = 0;
    UpdateButtons();
}

void CHDPageDataBrows::ReleaseItems()
{
    if (m_pPanel == nullptr) {
        return;
    }
    // The manager's list must not keep pointers to records that go now.
    const QList<CItemData*> mine = m_pPanel->Items();
    m_mngr.m_arrItems.removeIf([&mine](CItemData* pItem) { return mine.contains(pItem); });
    m_pPanel->Clear();
}

void CHDPageDataBrows::OnDestroyPage()
{
    if (m_mngr.m_pPageBrowse == this) {
        m_mngr.m_pPageBrowse = nullptr;
    }
    ReleaseItems();
    delete m_pPanel;
    m_pPanel = nullptr;
    m_pRemove = m_pClear = nullptr;
}

bool CHDPageDataBrows::OnSetActive()
{
    HV_FUNC_LOG();
    // Back from a run ("Secure More Data"): what was wiped is gone and leaves the list.
    if (m_pPanel != nullptr) {
        const QList<CItemData*> before = m_pPanel->Items();
        if (m_pPanel->RemoveMissing() > 0) {
            ForgetRemovedItems(before);
            UpdateButtons();
        }
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
    HVPageUi::SOpenFileRequest request;
    request.strTitle = QStringLiteral("Select Files To Add");
    request.strFilter = QStringLiteral("All Files (*)");
    request.bResolveLinks = g_HDGlobalData.m_RegData.m_nResolveLinks != 0;
    const QStringList lstFiles = HVPageUi::GetOpenFileNames(this, request);
    if (lstFiles.isEmpty() || m_pPanel == nullptr) {
        return;
    }
    m_pPanel->List()->setUpdatesEnabled(false);
    for (const QString& strFile : lstFiles) {
        m_pPanel->AddFileRow(strFile);
    }
    m_pPanel->List()->setUpdatesEnabled(true);
    UpdateButtons();
}

void CHDPageDataBrows::OnBnClickedAddFolder()
{
    HV_FUNC_LOG();
    const QString strFolder = g_HDGlobalData.BrowseForFolder();
    if (!strFolder.isEmpty() && m_pPanel != nullptr) {
        m_pPanel->AddFolderRow(strFolder);
    }
    UpdateButtons();
}

void CHDPageDataBrows::ForgetRemovedItems(const QList<CItemData*>& before)
{
    // Records handed to the manager by an earlier Next must not stay there once they are gone.
    const QList<CItemData*> after = m_pPanel->Items();
    m_mngr.m_arrItems.removeIf([&](CItemData* pItem) { return before.contains(pItem) && !after.contains(pItem); });
}

void CHDPageDataBrows::OnBnClickedRemove()
{
    if (m_pPanel != nullptr) {
        const QList<CItemData*> before = m_pPanel->Items();
        m_pPanel->RemoveSelected();
        ForgetRemovedItems(before);
    }
    UpdateButtons();
}

void CHDPageDataBrows::OnBnClickedClear()
{
    if (m_pPanel != nullptr) {
        const QList<CItemData*> before = m_pPanel->Items();
        m_pPanel->Clear();
        ForgetRemovedItems(before);
    }
    UpdateButtons();
}

void CHDPageDataBrows::OnBnClickedNext()
{
    PostPageSwitch(m_mngr, &m_mainDlg, CHalvoDataSecurityDlg::kPageSecurityOptions);
}

void CHDPageDataBrows::OnBnClickedBack()
{
    PostPageSwitch(m_mngr, &m_mainDlg, CHalvoDataSecurityDlg::kPageWelcome);
}

void CHDPageDataBrows::OnBnClickedHelp()
{
    g_HDGlobalData.ShowHelpTopic(QString::fromLatin1(kHelpTopic));
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

void CHDPageDataBrows::OnCommand(int nCommand)
{
    switch (nCommand) {
    case CHDItemListPanel::ID_ADD_FILES:
        OnBnClickedAddFiles();
        break;
    case CHDItemListPanel::ID_ADD_FOLDER:
        OnBnClickedAddFolder();
        break;
    case CHDItemListPanel::ID_REMOVE:
        OnBnClickedRemove();
        break;
    case CHDItemListPanel::ID_CLEAR:
        OnBnClickedClear();
        break;
    case CHDItemListPanel::ID_HELP:
        OnBnClickedHelp();
        break;
    default:
        break;
    }
}

void CHDPageDataBrows::paintEvent(QPaintEvent* /*pEvent*/)
{
    QPainter p(this);
    Paint(*this, p, EThemeImage::SecureHeader);
    PaintHeading(*this, p, HVLoadString(IDS_SEL_HEADING));
    if (m_pPanel != nullptr) {
        p.setFont(g_GlobalColors.m_font12);
        p.setPen(CGlobalColors::Color(g_GlobalColors.clrDlgText));
        const QRect rcList = m_pPanel->List()->geometry();
        p.drawText(QRect(rcList.left(), rcList.bottom() + 6, rcList.width(), 20),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   HVLoadString(IDS_SEL_HINT));
    }
}

void CHDPageDataBrows::dragEnterEvent(QDragEnterEvent* pEvent)
{
    if (HVPageUi::HasDroppedPaths(pEvent->mimeData())) {
        pEvent->acceptProposedAction();
    }
}

void CHDPageDataBrows::dropEvent(QDropEvent* pEvent)
{
    DropPaths(HVPageUi::DroppedPaths(pEvent->mimeData()));
    pEvent->acceptProposedAction();
}

void CHDPageDataBrows::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_F1) {
        OnBnClickedHelp();
        return;
    }
    CHPageDlg::keyPressEvent(pEvent);
}
