#include "pages/CHDPageHideData.h"

#include "globalfuncs/HVPathText.h"
#include "hiding/IHidingEngine.h"
#include "logging/CHVFuncLog.h"
#include "logging/CHVLog.h"
#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "pages/CHDItemListPanel.h"
#include "pages/HVPageUi.h"
#include "pages/HVTaskPage.h"
#include "resources/HVResourceStrings.h"
#include "security/CDataSecurityMngr.h"
#include "security/CItemData.h"
#include "security/CReportComposer.h"
#include "security/IDataSecurityUi.h"
#include "security/IRunnerHost.h"
#include "settings/CHDGlobalData.h"
#include "ui/CBCGButton.h"
#include "ui/CButtonST.h"
#include "ui/CGlobalColors.h"
#include "ui/CThemeImageList.h"
#include "ui/CXListCtrl.h"

using namespace HVTaskPage;

namespace {
constexpr int kWidthPath = 330;
constexpr int kWidthState = 130;

std::unique_ptr<CItemData> MakeItem(const QString& strPath)
{
    const bool bDir = HVGlobalMFC::HVPathIsFolder(strPath);
    return std::make_unique<CItemData>(
        strPath, CHDGlobalData::GetFileSize64(strPath), bDir ? CItemData::KindFolder : CItemData::KindFile);
}
}  // namespace

CHDPageHideData::CHDPageHideData(CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr)
    : CHDListPageBase(kPageId, "CHDPageHideData", kHelpTopic, EThemeImage::HideHeader, IDS_HIDE_HEADING, mainDlg, mngr)
{
}

CHDPageHideData::~CHDPageHideData()
{
    OnDestroyPage();
}

bool CHDPageHideData::IsEncryptedPath(const QString& strPath)
{
    return strPath.toUpper().endsWith(QLatin1String(".HVNC"));
}

QString CHDPageHideData::StateText(const QString& strPath)
{
    return IsEncryptedPath(strPath) ? QStringLiteral("Hidden/Encrypted") : QStringLiteral("Hidden");
}

bool CHDPageHideData::OnInitDialog()
{
    HV_FUNC_LOG();
    const auto [nTop, nWidth, nFootTop] = BeginInit();

    // The command row above the list.
    const struct
    {
        int nId;
        unsigned nIcon;
        unsigned nText;
        void (CHDPageHideData::*pfn)();
    } commands[] = {
        {IDC_BUTTON_HIDE_FILES, 4040, IDS_HIDE_BTN_FILES, &CHDPageHideData::OnBnClickedHideFiles},
        {IDC_BUTTON_HIDE_FOLDER, 4046, IDS_HIDE_BTN_FOLDER, &CHDPageHideData::OnBnClickedHideFolder},
        {IDC_BUTTON_UNHIDE, 4045, IDS_HIDE_BTN_UNHIDE, &CHDPageHideData::OnBnClickedUnhide},
        {IDC_BUTTON_UNHIDE_DECRYPT, 4048, IDS_HIDE_BTN_UNHIDE_DECRYPT, &CHDPageHideData::OnBnClickedUnhideDecrypt},
    };
    int x = kMargin - 4;
    for (const auto& command : commands) {
        CButtonST* pButton = MakeIconButton(this, command.nId, command.nIcon, HVLoadString(command.nText));
        connect(pButton, &QAbstractButton::clicked, this, command.pfn);
        pButton->move(x, nTop);
        x += pButton->width() + 6;
        AddAnchor(pButton, TOP_LEFT, TOP_LEFT);
        if (command.nId == IDC_BUTTON_UNHIDE) {
            m_pUnhide = pButton;
        } else if (command.nId == IDC_BUTTON_UNHIDE_DECRYPT) {
            m_pUnhideDecrypt = pButton;
        }
    }

    const int nListTop = nTop + 42;
    const QRect rcList(kMargin, nListTop, nWidth - 2 * kMargin, nFootTop - nListTop - 40);
    m_pList = new CXListCtrl(this);
    m_pList->Create(this, rcList, IDC_LIST);
    m_pList->setObjectName(QString::number(IDC_LIST));
    m_pList->SetShowSelectionAlways(true);
    m_pList->SetSmallImageList(g_MainImageList.Images());
    m_pList->InsertColumn(HVLoadString(IDS_COL_PATH), kWidthPath);
    m_pList->InsertColumn(HVLoadString(IDS_COL_STATE), kWidthState);
    // The path column takes the width the list gains; long paths are shortened in the middle and
    // shown whole as the tooltip.
    m_pList->SetPathColumn(0);
    m_pList->setAccessibleName(HVLoadString(IDS_LIST_HIDDEN));
    m_pList->EnableCheckBoxes(true);
    connect(m_pList, &CXListCtrl::CheckChanged, this, [this](int) { UpdateButtons(); });
    AddAnchor(m_pList, TOP_LEFT, BOTTOM_RIGHT);

    // Check-all and uncheck-all links under the list.
    const auto link = [this](int nId, unsigned nText, void (CHDPageHideData::*pfn)()) {
        auto* pButton = new CBCGButton(HVLoadString(nText), this);
        pButton->setObjectName(QString::number(nId));
        const QColor face = CGlobalColors::Color(g_GlobalColors.clrDlgBk);
        pButton->SetFaceColor(face);
        pButton->SetFaceColorHot(face);
        pButton->SetTextColor(CGlobalColors::Color(g_GlobalColors.clrDlgText));
        pButton->SetTextColorHot(CGlobalColors::Color(0x00FF0000u));
        pButton->SetDrawBorder(false);
        pButton->SetMouseCursorHand(true);
        pButton->resize(pButton->fontMetrics().horizontalAdvance(pButton->text()) + 24, 24);
        connect(pButton, &QAbstractButton::clicked, this, pfn);
        return pButton;
    };
    m_pCheckAll = link(IDC_BUTTON_CHECK_ALL, IDS_HIDE_CHECK_ALL, &CHDPageHideData::OnBnClickedCheckAll);
    m_pCheckAll->move(kMargin, rcList.bottom() + 8);
    m_pUncheckAll = link(IDC_BUTTON_UNCHECK_ALL, IDS_HIDE_UNCHECK_ALL, &CHDPageHideData::OnBnClickedUncheckAll);
    m_pUncheckAll->move(m_pCheckAll->geometry().right() + 12, rcList.bottom() + 8);
    AddAnchor(m_pCheckAll, BOTTOM_LEFT, BOTTOM_LEFT);
    AddAnchor(m_pUncheckAll, BOTTOM_LEFT, BOTTOM_LEFT);

    // Footer.
    const int nButtonY = nFootTop + (FooterHeight() - kButtonHeight) / 2;
    auto* pHelp = MakeSkinButton(this, IDC_BUTTON_HELP, EThemeImage::Btn_Help, false, HVLoadString(IDS_BTN_HELP));
    connect(pHelp, &QAbstractButton::clicked, this, &CHDPageHideData::OnBnClickedHelp);
    pHelp->move(kMargin, nButtonY);
    AddAnchor(pHelp, BOTTOM_LEFT, BOTTOM_LEFT);
    auto* pBack = MakeSkinButton(this, IDC_BUTTON_BACK, EThemeImage::Btn_Previous, true, HVLoadString(IDS_BTN_BACK));
    connect(pBack, &QAbstractButton::clicked, this, &CHDPageHideData::OnBnClickedBack);
    pBack->move(nWidth - kMargin - pBack->width(), nButtonY);
    AddAnchor(pBack, BOTTOM_RIGHT, BOTTOM_RIGHT);

    RebuildList(true);
    UpdateButtons();
    EndInit();
    return true;
}

void CHDPageHideData::OnDestroyPage()
{
    if (m_pList != nullptr) {
        m_pList->DeleteAllItems();
        delete m_pList;
        m_pList = nullptr;
    }
    m_pUnhide = m_pUnhideDecrypt = nullptr;
    m_pCheckAll = m_pUncheckAll = nullptr;
}

void CHDPageHideData::RebuildList(bool bKeepChecks)
{
    if (m_pList == nullptr) {
        return;
    }
    const std::shared_ptr<IHidingEngine> pEngine = m_mngr.m_pHideControl;
    const int nCount = pEngine ? pEngine->GetHiddenCount() : 0;
    QList<int> checked;
    if (bKeepChecks) {
        for (int i = 0; i < m_pList->GetItemCount(); ++i) {
            if (m_pList->GetCheck(i) == 2) {
                checked.append(i);
            }
        }
    }
    m_pList->setUpdatesEnabled(false);
    m_pList->DeleteAllItems();
    for (int i = 0; i < nCount; ++i) {
        const QString strPath = HVGlobalMFC::HVPathFromBytes(pEngine->GetHiddenItem(i));
        if (strPath.isEmpty() || strPath == m_mngr.m_strConfigFile) {
            continue;
        }
        // A hidden folder is no longer at its path: the engine says what the item is.
        const bool bFolder = pEngine->IsHiddenItemFolder(i);
        const int nRow =
            m_pList->InsertItem(m_pList->GetItemCount(),
                                strPath,
                                bFolder ? CHDItemListPanel::kIconFolder : (IsEncryptedPath(strPath) ? 3 : 2));
        m_pList->SetItemText(nRow, 1, StateText(strPath));
        m_pList->SetCheckValue(nRow, 1);
    }
    for (int nRow : std::as_const(checked)) {
        m_pList->SetCheck(nRow, CXListCtrl::CheckOn);
    }
    m_pList->setUpdatesEnabled(true);
}

void CHDPageHideData::UpdateButtons()
{
    if (m_pList == nullptr) {
        return;
    }
    const int nRows = m_pList->GetItemCount();
    const int nChecked = m_pList->GetCheckedCount();
    m_pCheckAll->setEnabled(nChecked != nRows);
    if (nChecked == 0) {
        m_pUnhide->setEnabled(false);
        m_pUnhideDecrypt->setEnabled(false);
        m_pUncheckAll->setEnabled(false);
        return;
    }
    m_pUncheckAll->setEnabled(true);
    m_pUnhide->setEnabled(true);
    bool bEncrypted = false;
    for (int i = nRows - 1; i >= 0 && !bEncrypted; --i) {
        bEncrypted = m_pList->GetCheck(i) == 2 && IsEncryptedPath(m_pList->GetItemText(i, 0));
    }
    m_pUnhideDecrypt->setEnabled(bEncrypted);
}

bool CHDPageHideData::IsInList(const QString& strPath) const
{
    for (int i = 0; m_pList != nullptr && i < m_pList->GetItemCount(); ++i) {
        if (m_pList->GetItemText(i, 0).compare(strPath, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

void CHDPageHideData::HidePaths(const QStringList& lstPaths)
{
    if (lstPaths.isEmpty()) {
        return;
    }
    std::vector<std::unique_ptr<CItemData>> items;
    std::vector<CItemData*> pointers;
    for (const QString& strPath : lstPaths) {
        items.push_back(MakeItem(strPath));
        pointers.push_back(items.back().get());
    }
    RunHideRunner(pointers, 0, nullptr);
    items.clear();
    RebuildList(true);
    UpdateButtons();
}

QStringList CHDPageHideData::WithoutProtected(const QStringList& lstPaths)
{
    QStringList lstTake;
    for (const QString& strPath : lstPaths) {
        if (!strPath.isEmpty()
            && (m_mngr.m_lstProtectedPaths.contains(CDataSecurityMngr::ProtectedPathKey(strPath))
                || m_mngr.IsProtectedPath(strPath, CProtectedPaths::EOperation::Hide))) {
            HVPageUi::ShowMessageText(this, IDS_HIDE_PROTECTED, HVFormatString(IDS_HIDE_PROTECTED, strPath));
        } else {
            lstTake.append(strPath);
        }
    }
    return lstTake;
}

void CHDPageHideData::OnBnClickedHideFiles()
{
    HV_FUNC_LOG();
    HVPageUi::SOpenFileRequest request;
    request.strTitle = QStringLiteral("Select Files To Add");
    request.strFilter = QStringLiteral("All Files (*)");
    request.bResolveLinks = g_HDGlobalData.m_RegData.m_nResolveLinks != 0;
    const QStringList lstFiles = WithoutProtected(HVPageUi::GetOpenFileNames(this, request));
    if (lstFiles.isEmpty()) {
        return;
    }
    if (lstFiles.size() == 1) {
        if (!IsInList(lstFiles.front()) && HVPageUi::AskYesNo(this, IDS_ASK_HIDE)) {
            HidePaths(lstFiles);
        }
        return;
    }
    if (!HVPageUi::AskYesNo(this, IDS_ASK_HIDE)) {
        return;
    }
    QStringList lstTake;
    for (const QString& strFile : lstFiles) {
        if (!IsInList(strFile) && !lstTake.contains(strFile)) {
            lstTake.append(strFile);
        }
    }
    HidePaths(lstTake);
}

void CHDPageHideData::OnBnClickedHideFolder()
{
    HV_FUNC_LOG();
    const QStringList lstChosen = WithoutProtected({g_HDGlobalData.BrowseForFolder()});
    const QString strFolder = lstChosen.value(0);
    if (!strFolder.isEmpty() && !IsInList(strFolder) && HVPageUi::AskYesNo(this, IDS_ASK_HIDE)) {
        HidePaths({strFolder});
    }
}

void CHDPageHideData::DropPaths(const QStringList& lstPaths)
{
    LOGGER::g_HVLog.Log(L"Get Drop File");
    const QStringList lstHideable = WithoutProtected(lstPaths);
    if (!lstHideable.isEmpty() && HVPageUi::AskYesNo(this, IDS_ASK_HIDE)) {
        QStringList lstTake;
        for (const QString& strPath : lstHideable) {
            if (strPath.isEmpty()) {
                continue;
            }
            LOGGER::g_HVLog.Log(L"Befor Add Item");
            if (!IsInList(strPath) && !lstTake.contains(strPath)) {
                LOGGER::g_HVLog.Log(L"CALL Add Item");
                lstTake.append(strPath);
            }
        }
        HidePaths(lstTake);
    }
    LOGGER::g_HVLog.Log(L"DragFinish");
    LOGGER::g_HVLog.Log(L"DragFinish 2");
}

std::vector<std::unique_ptr<CItemData>> CHDPageHideData::UnhideChecked(SHideCounters* pCounters)
{
    std::vector<std::unique_ptr<CItemData>> items;
    std::vector<CItemData*> pointers;
    for (int i = m_pList->GetItemCount() - 1; i >= 0; --i) {
        if (m_pList->GetCheck(i) == 2) {
            items.push_back(MakeItem(m_pList->GetItemText(i, 0)));
            pointers.push_back(items.back().get());
        }
    }
    RunHideRunner(pointers, 1, pCounters);
    return items;
}

void CHDPageHideData::RunHideRunner(const std::vector<CItemData*>& items, int bUnhide, SHideCounters* pCounters)
{
    if (m_mngr.m_pRunnerHost == nullptr) {
        return;
    }
    if (std::unique_ptr<IHideRun> pRun = m_mngr.m_pRunnerHost->CreateHideProgrss()) {
        pRun->SetItems(items);
        SHideRunOptions options;
        options.m_bUnhide = bUnhide;
        options.m_bPageFlag = 1;
        pRun->RunModal(options);
        if (pCounters != nullptr) {
            *pCounters = pRun->Counters();
        }
    }
}

void CHDPageHideData::OnBnClickedUnhide()
{
    HV_FUNC_LOG();
    if (m_pList == nullptr) {
        return;
    }
    SHideCounters counters;
    std::vector<std::unique_ptr<CItemData>> items = UnhideChecked(&counters);
    if (m_mngr.m_pUi != nullptr) {
        m_mngr.m_pUi->ShowReport(
            CReportComposer::ForUnhide(counters.m_nProcessed, counters.m_nSucceeded, counters.m_nFailed));
    }
    items.clear();
    RebuildList(false);
    UpdateButtons();
}

void CHDPageHideData::OnBnClickedUnhideDecrypt()
{
    HV_FUNC_LOG();
    if (m_pList == nullptr) {
        return;
    }
    std::vector<std::unique_ptr<CItemData>> items = UnhideChecked(nullptr);
    m_mngr.m_arrItems.clear();
    for (auto& pItem : items) {
        if (IsEncryptedPath(pItem->m_strPath)) {
            m_mngr.m_arrItems.push_back(std::move(pItem));
        }
    }
    if (!m_mngr.m_arrItems.empty()) {
        m_mngr.m_bHideDecrypt = 1;
        (void)m_mngr.DecryptData();
        m_mngr.m_bHideDecrypt = 0;
    } else {
        HVPageUi::ShowMessage(this, IDS_NO_ENCRYPTED_CHECKED);
    }
    m_mngr.m_arrItems.clear();
    items.clear();
    RebuildList(false);
    UpdateButtons();
}

void CHDPageHideData::OnBnClickedCheckAll()
{
    m_pList->SetCheckAll(CXListCtrl::CheckOn);
    UpdateButtons();
}

void CHDPageHideData::OnBnClickedUncheckAll()
{
    m_pList->SetCheckAll(CXListCtrl::CheckOff);
    UpdateButtons();
}

void CHDPageHideData::OnBnClickedBack()
{
    SwitchTo(CHalvoDataSecurityDlg::kPageWelcome);
}
