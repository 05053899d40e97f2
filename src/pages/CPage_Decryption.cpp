#include "pages/CPage_Decryption.h"

#include "globalfuncs/HVPathText.h"
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
#include "ui/CButtonST.h"
#include "ui/CGlobalColors.h"
#include "ui/CXListCtrl.h"

using namespace HVTaskPage;

CPage_Decryption::CPage_Decryption(CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr)
    : CHDListPageBase(
        kPageId, "CPage_Decryption", kHelpTopic, EThemeImage::DecryptHeader, IDS_DEC_HEADING, mainDlg, mngr)
{
}

CPage_Decryption::~CPage_Decryption()
{
    OnDestroyPage();
}

bool CPage_Decryption::HasEncryptedExtension(const QString& strPath)
{
    return strPath.endsWith(QLatin1String(".hvnc"), Qt::CaseSensitive)
           && strPath.size() > static_cast<qsizetype>(sizeof(".hvnc") - 1);
}

bool CPage_Decryption::OnInitDialog()
{
    HV_FUNC_LOG();
    const auto [nTop, nWidth, nFootTop] = BeginInit();

    // Icon buttons above the list: add files, add a folder; decrypt at the right.
    auto* pAddFiles = MakeIconButton(this, IDC_BUTTON_ADD_FILES, 4041, HVLoadString(IDS_DEC_BTN_ADD_FILES));
    connect(pAddFiles, &QAbstractButton::clicked, this, &CPage_Decryption::OnBnClickedAddFiles);
    pAddFiles->move(kMargin - 4, nTop);
    auto* pAddFolder = MakeIconButton(this, IDC_BUTTON_ADD_FOLDER, 4042, HVLoadString(IDS_BTN_ADD_FOLDER));
    connect(pAddFolder, &QAbstractButton::clicked, this, &CPage_Decryption::OnBnClickedAddFolder);
    pAddFolder->move(pAddFiles->geometry().right() + 6, nTop);
    m_pDecrypt = MakeIconButton(this, IDC_BUTTON_DECRYPT, 4047, HVLoadString(IDS_DEC_BTN_DECRYPT));
    connect(m_pDecrypt, &QAbstractButton::clicked, this, &CPage_Decryption::OnBnClickedDecrypt);
    m_pDecrypt->move(nWidth - kMargin - m_pDecrypt->width() + 4, nTop);

    const int nListTop = nTop + 42;
    const QRect rcList(kMargin, nListTop, nWidth - 2 * kMargin, nFootTop - nListTop - 44);
    MakePanel(rcList, IDC_LIST);

    m_pRemove = MakeTextButton(this, IDC_BUTTON_REMOVE, HVLoadString(IDS_BTN_REMOVE));
    connect(m_pRemove, &QAbstractButton::clicked, this, &CPage_Decryption::OnBnClickedRemove);
    m_pRemove->move(kMargin, rcList.bottom() + 8);
    m_pClear = MakeTextButton(this, IDC_BUTTON_CLEAR, HVLoadString(IDS_BTN_CLEAR));
    connect(m_pClear, &QAbstractButton::clicked, this, &CPage_Decryption::OnBnClickedClear);
    m_pClear->move(m_pRemove->geometry().right() + 10, rcList.bottom() + 8);

    const int nButtonY = nFootTop + (FooterHeight() - kButtonHeight) / 2;
    auto* pHelp = MakeSkinButton(this, IDC_BUTTON_HELP, EThemeImage::Btn_Help, false, HVLoadString(IDS_BTN_HELP));
    connect(pHelp, &QAbstractButton::clicked, this, &CPage_Decryption::OnBnClickedHelp);
    pHelp->move(kMargin, nButtonY);
    auto* pCancel = MakeTextButton(this, IDC_BUTTON_CANCEL, HVLoadString(IDS_BTN_CANCEL));
    connect(pCancel, &QAbstractButton::clicked, this, &CPage_Decryption::OnBnClickedCancel);
    pCancel->move(nWidth - kMargin - pCancel->width(), nButtonY);

    AddAnchor(pAddFiles, TOP_LEFT, TOP_LEFT);
    AddAnchor(pAddFolder, TOP_LEFT, TOP_LEFT);
    AddAnchor(m_pDecrypt, TOP_RIGHT, TOP_RIGHT);
    AddAnchor(m_pPanel->List(), TOP_LEFT, BOTTOM_RIGHT);
    AddAnchor(m_pRemove, BOTTOM_LEFT, BOTTOM_LEFT);
    AddAnchor(m_pClear, BOTTOM_LEFT, BOTTOM_LEFT);
    AddAnchor(pHelp, BOTTOM_LEFT, BOTTOM_LEFT);
    AddAnchor(pCancel, BOTTOM_RIGHT, BOTTOM_RIGHT);

    UpdateButtons();
    EndInit();
    return true;
}

void CPage_Decryption::OnDestroyPage()
{
    DestroyPanel();
    m_pRemove = m_pClear = nullptr;
    m_pDecrypt = nullptr;
}

bool CPage_Decryption::OnSetActive()
{
    HV_FUNC_LOG();
    return true;
}

bool CPage_Decryption::OnKillActive(int /*nNextPageId*/)
{
    HV_FUNC_LOG();
    return true;
}

void CPage_Decryption::UpdateButtons()
{
    const bool bRows = m_pPanel != nullptr && m_pPanel->Count() > 0;
    for (QWidget* pWidget : std::initializer_list<QWidget*>{m_pDecrypt, m_pRemove, m_pClear}) {
        if (pWidget != nullptr) {
            pWidget->setEnabled(bRows);
        }
    }
}

void CPage_Decryption::OnBnClickedAddFiles()
{
    HV_FUNC_LOG();
    AddChosenFiles(QStringLiteral("Encrypted Files (*.hvnc)"), true, &HasEncryptedExtension);
}

void CPage_Decryption::OnBnClickedDecrypt()
{
    HV_FUNC_LOG();
    if (m_pPanel == nullptr || m_pPanel->Count() == 0) {
        return;
    }
    m_mngr.m_arrItems = m_pPanel->Items();
    (void)m_mngr.DecryptData();
    m_mngr.m_arrItems.clear();
    m_pPanel->Clear();
    UpdateButtons();
}

void CPage_Decryption::OnBnClickedCancel()
{
    if (HVPageUi::AskYesNo(this, IDS_ASK_LEAVE_TASK)) {
        SwitchTo(CHalvoDataSecurityDlg::kPageWelcome);
    }
}

void CPage_Decryption::DropPaths(const QStringList& lstPaths)
{
    if (m_pPanel == nullptr) {
        return;
    }
    for (const QString& strPath : lstPaths) {
        if (HVGlobalMFC::HVPathIsFolder(strPath)) {
            m_pPanel->AddFolderRow(strPath);
        } else if (HasEncryptedExtension(strPath)) {
            m_pPanel->AddFileRow(strPath);
        }
    }
    UpdateButtons();
}
