#include "prefs/CPreferencesDlg.h"

#include "logging/CHVFuncLog.h"
#include "logging/CHVLog.h"
#include "passwords/CGuiMessageBox.h"
#include "prefs/CPrefPageContextMenu.h"
#include "prefs/CPrefPageEncrypt.h"
#include "prefs/CPrefPageGeneral.h"
#include "prefs/CPrefPageWipe.h"
#include "resources/HVResourceStrings.h"
#include "security/CDataSecurityMngr.h"
#include "settings/CHDGlobalData.h"
#include "settings/CMRegistryData.h"
#include "ui/CBCGButton.h"
#include "ui/CGlobalColors.h"
#include "ui/CHPropertiesPages.h"
#include "ui/CItemsTreeWnd.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace HVDialogs::HVPref {

namespace {

CPreferencesDlg::RegistrationRunner& RunnerRef()
{
    static CPreferencesDlg::RegistrationRunner s_runner;
    return s_runner;
}

constexpr int kTreeWidth = 150;
constexpr int kTitleHeight = 34;
constexpr HVCOLORREF kPageAreaColor = HVRgb(200, 200, 200);

// Page class, tree text and tree item data, in the order of the tree and the container.
struct SPageInfo
{
    unsigned nTextId;
    int nData;
};
constexpr SPageInfo kPages[] = {
    {IDS_PREF_GENERAL, CPreferencesDlg::PageGeneral},
    {IDS_PREF_ENCRYPTION, CPreferencesDlg::PageEncrypt},
    {IDS_PREF_WIPE, CPreferencesDlg::PageWipe},
    {IDS_PREF_CONTEXT_MENU, CPreferencesDlg::PageContextMenu},
};

}  // namespace

void CPreferencesDlg::SetRegistrationRunner(RegistrationRunner runner)
{
    RunnerRef() = std::move(runner);
}

CPreferencesDlg::CPreferencesDlg(QWidget* pParent, const CDataSecurityMngr* pMngr, CMRegistryData* pSettings)
    : CResizableDialog(pParent)
    , m_settings(pSettings != nullptr ? *pSettings : g_HDGlobalData.m_RegData)
    , m_masterLength([pMngr]() -> qsizetype {
        return pMngr != nullptr ? static_cast<qsizetype>(pMngr->m_strMasterPassword.Utf16Units().size()) : 0;
    })
{
    setObjectName(QStringLiteral("CPreferencesDlg"));
    setWindowTitle(HVLoadString(IDS_PREF_TITLE));
    setSizeGripEnabled(true);

    m_title.SetTitle(IDS_PREF_TITLE);
    m_title.SetTitleFont(15, 700, false, false, QStringLiteral("Arial"));
    m_title.SetColors(CGlobalColors::Color(g_GlobalColors.clrTitleText),
                      CGlobalColors::Color(g_GlobalColors.clrTitleBorder),
                      CGlobalColors::Color(g_GlobalColors.clrTitleTextFill),
                      CGlobalColors::Color(g_GlobalColors.clrDlgBk));
    m_title.SetGradientColors(CGlobalColors::Color(g_GlobalColors.clrTitleGradiant1),
                              CGlobalColors::Color(g_GlobalColors.clrTitleGradiant2));

    m_pTitlePlace = new QWidget(this);
    m_pTitlePlace->setObjectName(QString::number(IDC_TITLE));
    m_pTitlePlace->setFixedHeight(kTitleHeight);

    m_pOK = MakeButton(HVLoadString(IDS_BTN_OK), QStringLiteral("IDOK"));
    m_pOK->setDefault(true);
    m_pCancel = MakeButton(HVLoadString(IDS_BTN_CANCEL), QStringLiteral("IDCANCEL"));
    m_pDefault = MakeButton(HVLoadString(IDS_PREF_BTN_DEFAULT), QStringLiteral("btnDefault"));
    m_pAllDefaults = MakeButton(HVLoadString(IDS_PREF_BTN_ALL_DEFAULTS), QStringLiteral("btnAllDefaults"));
    m_pHelp = MakeButton(HVLoadString(IDS_BTN_HELP), QStringLiteral("IDHELP"));
    connect(m_pOK, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(m_pCancel, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(m_pDefault, &QAbstractButton::clicked, this, &CPreferencesDlg::OnBnClickedDefault);
    connect(m_pAllDefaults, &QAbstractButton::clicked, this, &CPreferencesDlg::OnBnClickedAllDefaults);
    connect(m_pHelp, &QAbstractButton::clicked, this, &CPreferencesDlg::OnBnClickedHelp);

    CreatePages();
    CreateTree();

    auto* pMiddle = new QHBoxLayout;
    pMiddle->setSpacing(12);
    if (m_pTree != nullptr) {
        pMiddle->addWidget(m_pTree);
    }
    if (m_pPages != nullptr) {
        pMiddle->addWidget(m_pPages, 1);
    } else {
        pMiddle->addStretch(1);
    }
    auto* pButtons = new QHBoxLayout;
    pButtons->setSpacing(8);
    pButtons->addWidget(m_pDefault);
    pButtons->addWidget(m_pAllDefaults);
    pButtons->addStretch(1);
    pButtons->addWidget(m_pOK);
    pButtons->addWidget(m_pCancel);
    pButtons->addWidget(m_pHelp);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(12, 12, 12, 12);
    pLayout->setSpacing(12);
    pLayout->addWidget(m_pTitlePlace);
    pLayout->addLayout(pMiddle, 1);
    pLayout->addLayout(pButtons);

    resize(620, 430);
    SetMinTrackSize({560, 400});
}

CPreferencesDlg::~CPreferencesDlg() = default;

int CPreferencesDlg::Open(QWidget* pParent, int nStartPage, const CDataSecurityMngr* pMngr)
{
    CPreferencesDlg dlg(pParent, pMngr);
    dlg.SetStartPage(nStartPage);
    return dlg.exec();
}

CBCGButton* CPreferencesDlg::MakeButton(const QString& strText, const QString& strName)
{
    auto* pButton = new CBCGButton(strText, this);
    pButton->setObjectName(strName);
    pButton->SetFaceColor(CGlobalColors::Color(g_GlobalColors.clrDlgBtnFace));
    pButton->SetFaceColorHot(CGlobalColors::Color(g_GlobalColors.clrDlgBtnFaceHot));
    pButton->SetTextColor(CGlobalColors::Color(g_GlobalColors.clrDlgBtnText));
    pButton->SetTextColorHot(CGlobalColors::Color(g_GlobalColors.clrDlgBtnTextHot));
    pButton->SetHorzMargin(12);
    pButton->setMinimumWidth(84);
    return pButton;
}

void CPreferencesDlg::CreatePages()
{
    m_pPages = new CHPropertiesPages(this);
    if (!m_pPages->Create(this, QRect(0, 0, 400, 300))) {
        LOGGER::g_HVLog.WriteLog("Failed to create GPages", 3, __FILE__, __LINE__);
        delete m_pPages;
        m_pPages = nullptr;
        return;
    }
    m_pPages->setObjectName(QString::number(IDC_PAGES));
    m_pPages->SetBtnColors(CGlobalColors::Color(g_GlobalColors.clrBtnBk),
                           CGlobalColors::Color(g_GlobalColors.clrBtnBkHot));
    m_pPages->SetControlVisible(false);
    QPalette pal = m_pPages->palette();
    pal.setColor(QPalette::Window, CGlobalColors::Color(kPageAreaColor));
    m_pPages->setPalette(pal);
    m_pPages->setAutoFillBackground(true);
    m_pPages->InsertPage(new CPref_General(m_settings));
    m_pPages->InsertPage(new CPref_Encrypt(m_settings));
    m_pPages->InsertPage(new CPref_Wipe(m_settings));
    m_pPages->InsertPage(new CPref_ContextMenu(m_settings));
}

void CPreferencesDlg::CreateTree()
{
    m_pTree = new CItemsTreeWnd(this);
    m_pTree->setObjectName(QString::number(IDC_TREE));
    if (!m_pTree->Intilize()) {
        CGuiMessageBox::ShowText(this, QStringLiteral("Failed to create Tree Control view\n"));
        delete m_pTree;
        m_pTree = nullptr;
        return;
    }
    m_pTree->setFixedWidth(kTreeWidth);
    m_pTree->setAccessibleName(HVLoadString(IDS_PREF_TITLE));
    for (const SPageInfo& page : kPages) {
        m_pTree->AddRootItem(HVLoadString(page.nTextId), page.nData);
    }
    connect(m_pTree, &CItemsTreeWnd::ItemDataSelected, this, [this](int nData) {
        if (m_pPages != nullptr) {
            m_pPages->SetPage(nData);
        }
    });
}

bool CPreferencesDlg::OnInitDialog()
{
    HV_FUNC_LOG();
    if (m_pPages != nullptr) {
        m_pPages->SetPage(m_nStartPage);
    }
    if (m_pTree != nullptr) {
        // The tree shows where the dialog starts; choosing that item again changes nothing.
        const QSignalBlocker block(m_pTree);
        m_pTree->SelectByData(m_nStartPage);
    }
    return true;
}

CPrefPageBase* CPreferencesDlg::Page(int nIndex) const
{
    return m_pPages != nullptr ? qobject_cast<CPrefPageBase*>(m_pPages->GetPageDlgHandle(nIndex)) : nullptr;
}

void CPreferencesDlg::OnOK()
{
    HV_FUNC_LOG();
    const auto created = [this](int nIndex) -> CPrefPageBase* {
        CPrefPageBase* pPage = Page(nIndex);
        return pPage != nullptr && pPage->IsCreated() ? pPage : nullptr;
    };
    if (auto* pEncrypt = qobject_cast<CPref_Encrypt*>(created(PageEncrypt))) {
        if (pEncrypt->SelectedType() == 0 && m_masterLength && m_masterLength() > kMaxPassword128) {
            CGuiMessageBox::Show(this, IDS_PASSWORD_LENGTH_128);
            return;
        }
        pEncrypt->StoreSettings();
        m_settings.Save();
    }
    if (auto* pGeneral = qobject_cast<CPref_General*>(created(PageGeneral))) {
        pGeneral->StoreSettings();
        m_settings.Save();
    }
    if (auto* pWipe = qobject_cast<CPref_Wipe*>(created(PageWipe))) {
        pWipe->StoreSettings();
        m_settings.Save();
    }
    if (auto* pShell = qobject_cast<CPref_ContextMenu*>(created(PageContextMenu))) {
        // Stored first: the registration tool reads the settings the menus are written from.
        // A ticked box registers every time (the menus carry the wipe setting, and a user
        // whose box was ticked must be able to bring missing menus back); clearing it removes
        // them.
        pShell->StoreSettings();
        m_settings.Save();
        if (pShell->IsShellEnabled() || pShell->WasShellEnabled()) {
            RunRegistration(!pShell->IsShellEnabled());
        }
    }
    m_settings.Save();
    CResizableDialog::OnOK();
}

bool CPreferencesDlg::RunRegistration(bool bUnregister)
{
    const QString strFolder = m_settings.m_strModulePath;
    const QString strProgram = strFolder + QLatin1Char('/') + QLatin1String(kRegTool);
    QStringList lstArgs{strFolder + QLatin1Char('/') + QLatin1String(kExtLibrary)};
    if (bUnregister) {
        lstArgs << QStringLiteral("/u");
    }
    LOGGER::g_HVLog.Log("%s the file manager extension with %s",
                        bUnregister ? "Unregistering" : "Registering",
                        qUtf8Printable(strProgram));
    QString strOutput;
    int nExit = -1;
    if (RunnerRef()) {
        nExit = RunnerRef()(strProgram, lstArgs, strOutput);
    } else {
        // The tool writes a few small files: waited for, and its answer examined.
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(strProgram, lstArgs);
        if (!process.waitForStarted(5000)) {
            strOutput = process.errorString();
        } else if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
        } else if (process.exitStatus() == QProcess::NormalExit) {
            nExit = process.exitCode();
        }
        strOutput += QString::fromLocal8Bit(process.readAll());
    }
    if (nExit == 0) {
        return true;
    }
    LOGGER::g_HVLog.Log("The registration tool failed (%d): %s", nExit, qUtf8Printable(strOutput));
    CGuiMessageBox::ShowText(this,
                             QStringLiteral("The file manager menus could not be %1.\n\n%2")
                                 .arg(bUnregister ? QStringLiteral("removed") : QStringLiteral("written"),
                                      strOutput.trimmed().isEmpty() ? strProgram : strOutput.trimmed()));
    return false;
}

void CPreferencesDlg::OnBnClickedDefault()
{
    if (m_pPages == nullptr) {
        return;
    }
    if (CPrefPageBase* pPage = Page(m_pPages->GetActiveIndex())) {
        pPage->ApplyDefaults();
    }
}

void CPreferencesDlg::OnBnClickedAllDefaults()
{
    if (!CGuiMessageBox::AskYesNo(this, IDS_ASK_RESTORE_ALL, 57344)) {
        return;
    }
    for (int nIndex : {PageGeneral, PageEncrypt, PageWipe, PageContextMenu}) {
        CPrefPageBase* pPage = Page(nIndex);
        if (pPage != nullptr && pPage->IsCreated()) {
            pPage->ApplyDefaults();
        }
    }
}

void CPreferencesDlg::OnBnClickedHelp()
{
    (void)CGuiMessageBox::ShowHelp(QString::fromLatin1(kHelpTopic));
}

void CPreferencesDlg::paintEvent(QPaintEvent* /*pEvent*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), CGlobalColors::Color(g_GlobalColors.clrDlgBk));
    m_title.SetRectFromControl(m_pTitlePlace, true);
    painter.save();
    m_title.Draw(painter);
    painter.restore();
    if (m_pPages != nullptr) {
        // A ring one pixel wide and one pixel clear of the page: at a fractional scale the page,
        // rounded out to whole device pixels, never covers it.
        const QRectF rcPage(m_pPages->geometry());
        QPainterPath ring;
        ring.addRect(rcPage.adjusted(-2.0, -2.0, 2.0, 2.0));
        ring.addRect(rcPage.adjusted(-1.0, -1.0, 1.0, 1.0));
        ring.setFillRule(Qt::OddEvenFill);
        painter.fillPath(ring, CGlobalColors::Color(g_GlobalColors.clrTitleBorder));
    }
}

void CPreferencesDlg::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_F1 || pEvent->key() == Qt::Key_Help) {
        OnBnClickedHelp();
        pEvent->accept();
        return;
    }
    CResizableDialog::keyPressEvent(pEvent);
}

}  // namespace HVDialogs::HVPref
