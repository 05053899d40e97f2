#include "pages/CHDPageSecurityOptions.h"

#include "logging/CHVFuncLog.h"
#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "mainwnd/CMainWndPageRegistry.h"
#include "pages/HVPageUi.h"
#include "pages/HVTaskPage.h"
#include "passwords/HVWipeText.h"
#include "resources/HVResourceStrings.h"
#include "security/CDataSecurityMngr.h"
#include "settings/CHDGlobalData.h"
#include "ui/CBCGButton.h"
#include "ui/CGlobalColors.h"
#include "ui/CGradientProgressCtrl.h"
#include "ui/CPPHtmlStatic.h"
#include "ui/CThemeDraw.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>

using namespace HVTaskPage;

namespace {
constexpr std::size_t kMinPassword = 6;
constexpr std::size_t kMaxPassword = 32;
constexpr HVCOLORREF kFrameColour = 0x7B5731;  // #31577b
constexpr int kSettingsLinkIcon = 0;

QString Fill(const char* pszTemplate, const QString& strText)
{
    return QString::fromLatin1(pszTemplate).replace(QLatin1String("%s"), strText);
}
QString Picture(int nId)
{
    return QStringLiteral("<bmp idres=%1>").arg(nId);
}
}  // namespace

CHDPageSecurityOptions::CHDPageSecurityOptions(CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr)
    : CHPageDlg(kPageId)
    , m_mainDlg(mainDlg)
    , m_mngr(mngr)
{
    setObjectName(QStringLiteral("CHDPageSecurityOptions"));
}

CHDPageSecurityOptions::~CHDPageSecurityOptions()
{
    OnDestroyPage();
}

bool CHDPageSecurityOptions::SummaryText(int bEncrypt, int iAction, QString& strText)
{
    static constexpr const char* A = "<font size=13 face='Tahoma' color='#31577b'><b>%s</b></font>";
    static constexpr const char* B = "<font size=13 face='Tahoma' color='#31577b'><b>       %s</b></font>";
    static constexpr const char* C = "<font size=13 face='Tahoma' color='#ff0000'><b>%s</b></font>";
    const QString strBreaks = QStringLiteral("<br><br>");
    const auto line = [&](unsigned nText, int nPicture) {
        return Fill(A, HVLoadString(nText)) + strBreaks + Picture(nPicture);
    };
    if (bEncrypt == 1 && iAction == 0) {
        strText = line(IDS_SUM_ENCRYPT, 4050);
    } else if (bEncrypt == 1 && iAction == 1) {
        strText = line(IDS_SUM_ENCRYPT_HIDE, 4051);
    } else if (bEncrypt == 1 && iAction == 2) {
        strText = line(IDS_SUM_ENCRYPT_WIPE, 4052);
    } else if (bEncrypt == 0 && iAction == 0) {
        strText = Fill(B, HVLoadString(IDS_SUM_NOTHING));
    } else if (bEncrypt == 0 && iAction == 1) {
        strText = line(IDS_SUM_HIDE, 4053);
    } else if (bEncrypt == 0 && iAction == 2) {
        strText = Fill(A, HVLoadString(IDS_SUM_WIPE)) + QStringLiteral("<br>")
                  + Fill(C, HVLoadString(IDS_SUM_WIPE_WARNING)) + strBreaks + Picture(4054);
    } else {
        return false;
    }
    return true;
}

bool CHDPageSecurityOptions::OnInitDialog()
{
    HV_FUNC_LOG();
    const auto [nTop, nWidth, nFootTop] = BeginTaskPage(*this, EThemeImage::SecureHeader);
    const int nLeftWidth = 350;
    const int x = kMargin;
    // The action block stands right of the encryption block; the summary runs under both.
    const int nRightX = x + nLeftWidth + kMargin;
    const int nRightWidth = nWidth - kMargin - nRightX;
    const int nRightIndent = nRightX + 22;
    const int nIndent = x + 22;

    const auto named = [](QWidget* pWidget, int nId) {
        pWidget->setObjectName(QString::number(nId));
        return pWidget;
    };
    m_pEncrypt = new QCheckBox(HVLoadString(IDS_OPT_ENCRYPT), this);
    named(m_pEncrypt, IDC_CHECK_ENCRYPT)->setGeometry(x, nTop, nLeftWidth, 22);
    m_pEncrypt->setFont(g_GlobalColors.m_font13Bold);
    m_pMaster = new QRadioButton(HVLoadString(IDS_OPT_USE_MASTER), this);
    named(m_pMaster, IDC_RADIO_MASTER)->setGeometry(nIndent, nTop + 26, nLeftWidth - 22, 22);
    m_pOwn = new QRadioButton(HVLoadString(IDS_OPT_USE_OWN), this);
    named(m_pOwn, IDC_RADIO_OWN)->setGeometry(nIndent, nTop + 50, nLeftWidth - 22, 22);
    m_pPasswordGroup = new QButtonGroup(this);
    m_pPasswordGroup->addButton(m_pMaster, 0);
    m_pPasswordGroup->addButton(m_pOwn, 1);

    const int nLabelX = nIndent + 20;
    const int nEditX = nLabelX + 80;
    const int nEditWidth = x + nLeftWidth - nEditX;
    m_pStaticPassword = new QLabel(HVLoadString(IDS_OPT_PASSWORD), this);
    m_pStaticPassword->setObjectName(QString::fromLatin1(kStaticPasswordName));
    m_pStaticPassword->setGeometry(nLabelX, nTop + 78, 80, 24);
    m_pPassword = new QLineEdit(this);
    named(m_pPassword, IDC_EDIT_PASSWORD)->setGeometry(nEditX, nTop + 78, nEditWidth, 24);
    m_pPassword->setEchoMode(QLineEdit::Password);
    m_pStaticPassword->setBuddy(m_pPassword);
    m_pStaticConfirm = new QLabel(HVLoadString(IDS_OPT_CONFIRM), this);
    named(m_pStaticConfirm, IDC_STATIC_CONFIRM)->setGeometry(nLabelX, nTop + 108, 80, 24);
    m_pConfirm = new QLineEdit(this);
    named(m_pConfirm, IDC_EDIT_CONFIRM)->setGeometry(nEditX, nTop + 108, nEditWidth, 24);
    m_pConfirm->setEchoMode(QLineEdit::Password);
    m_pStaticConfirm->setBuddy(m_pConfirm);
    m_pStaticStrength = new QLabel(HVLoadString(IDS_OPT_STRENGTH), this);
    named(m_pStaticStrength, IDC_STATIC_STRENGTH)->setGeometry(nLabelX, nTop + 138, 80, 18);
    m_pStrengthBar = new CGradientProgressCtrl(this);
    named(m_pStrengthBar, IDC_STRENGTH_BAR)->setGeometry(nEditX, nTop + 141, nEditWidth - 80, 12);
    m_pStrengthLabel = new QLabel(this);
    named(m_pStrengthLabel, IDC_STRENGTH_LABEL)->setGeometry(nEditX + nEditWidth - 74, nTop + 138, 74, 18);

    const int nActTop = nTop;
    auto* pAfter = new QLabel(HVLoadString(IDS_OPT_AFTER), this);
    pAfter->setObjectName(QStringLiteral("static_after"));
    pAfter->setFont(g_GlobalColors.m_font13Bold);
    pAfter->setGeometry(nRightX, nActTop, nRightWidth, 22);
    m_pNothing = new QRadioButton(HVLoadString(IDS_OPT_LEAVE), this);
    named(m_pNothing, IDC_RADIO_NOTHING)->setGeometry(nRightIndent, nActTop + 26, nRightWidth - 22, 22);
    m_pHide = new QRadioButton(HVLoadString(IDS_OPT_HIDE), this);
    named(m_pHide, IDC_RADIO_HIDE)->setGeometry(nRightIndent, nActTop + 50, nRightWidth - 22, 22);
    m_pWipe = new QRadioButton(HVLoadString(IDS_OPT_WIPE), this);
    named(m_pWipe, IDC_RADIO_WIPE)->setGeometry(nRightIndent, nActTop + 74, nRightWidth - 22, 22);
    m_pActionGroup = new QButtonGroup(this);
    m_pActionGroup->addButton(m_pNothing, 0);
    m_pActionGroup->addButton(m_pHide, 1);
    m_pActionGroup->addButton(m_pWipe, 2);

    // The two settings links.
    m_pEncSettings = new CBCGButton(HVLoadString(IDS_OPT_ENC_SETTINGS), this);
    named(m_pEncSettings, IDC_BUTTON_ENC_SETTINGS);
    StyleLinkButton(m_pEncSettings, kSettingsLinkIcon);
    m_pEncSettings->setGeometry(nIndent, nTop + 166, 180, 24);
    m_pWipeSettings = new CBCGButton(HVLoadString(IDS_OPT_WIPE_SETTINGS), this);
    named(m_pWipeSettings, IDC_BUTTON_WIPE_SETTINGS);
    StyleLinkButton(m_pWipeSettings, kSettingsLinkIcon);
    m_pWipeSettings->setGeometry(nRightIndent, nActTop + 104, 180, 24);

    // The summary in its rounded frame at the right.
    m_pFrame = new QWidget(this);
    named(m_pFrame, IDC_FRAME_SUMMARY)->setGeometry(x, nTop + 206, nWidth - 2 * kMargin, nFootTop - nTop - 206 - 16);
    m_pFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pSummary = new CPPHtmlStatic(this);
    named(m_pSummary, IDC_SUMMARY)->setGeometry(m_pFrame->geometry().adjusted(12, 12, -12, -12));
    m_pSummary->SetBkColor(CGlobalColors::Color(g_GlobalColors.clrDlgBk));

    // Footer.
    const int nButtonY = nFootTop + (FooterHeight() - kButtonHeight) / 2;
    auto* pHelp = MakeSkinButton(this, IDC_BUTTON_HELP, EThemeImage::Btn_Help, false, HVLoadString(IDS_BTN_HELP));
    connect(pHelp, &QAbstractButton::clicked, this, &CHDPageSecurityOptions::OnBnClickedHelp);
    pHelp->move(kMargin, nButtonY);
    auto* pCancel = MakeTextButton(this, IDC_BUTTON_CANCEL, HVLoadString(IDS_BTN_CANCEL));
    connect(pCancel, &QAbstractButton::clicked, this, &CHDPageSecurityOptions::OnBnClickedCancel);
    pCancel->move(nWidth - kMargin - pCancel->width(), nButtonY);
    m_pGo = MakeSkinButton(this, IDC_BUTTON_GO, EThemeImage::Btn_Start, true, HVLoadString(IDS_OPT_GO));
    connect(m_pGo, &QAbstractButton::clicked, this, [this] { OnBnClickedGo(); });
    m_pGo->move(pCancel->x() - 10 - m_pGo->width(), nButtonY);
    auto* pBack = MakeSkinButton(this, IDC_BUTTON_BACK, EThemeImage::Btn_Previous, true, HVLoadString(IDS_BTN_BACK));
    connect(pBack, &QAbstractButton::clicked, this, &CHDPageSecurityOptions::OnBnClickedBack);
    pBack->move(m_pGo->x() - 6 - pBack->width(), nButtonY);

    for (QWidget* pWidget : std::initializer_list<QWidget*>{m_pEncrypt,
                                                            m_pMaster,
                                                            m_pOwn,
                                                            m_pStaticPassword,
                                                            m_pPassword,
                                                            m_pStaticConfirm,
                                                            m_pConfirm,
                                                            m_pStaticStrength,
                                                            m_pStrengthBar,
                                                            m_pStrengthLabel,
                                                            pAfter,
                                                            m_pNothing,
                                                            m_pHide,
                                                            m_pWipe,
                                                            m_pEncSettings,
                                                            m_pWipeSettings}) {
        AddAnchor(pWidget, TOP_LEFT, TOP_LEFT);
    }
    AddAnchor(m_pFrame, TOP_LEFT, BOTTOM_RIGHT);
    AddAnchor(m_pSummary, TOP_LEFT, BOTTOM_RIGHT);
    AddAnchor(pHelp, BOTTOM_LEFT, BOTTOM_LEFT);
    for (QWidget* pWidget : std::initializer_list<QWidget*>{pBack, m_pGo, pCancel}) {
        AddAnchor(pWidget, BOTTOM_RIGHT, BOTTOM_RIGHT);
    }

    for (QAbstractButton* pButton :
         std::initializer_list<QAbstractButton*>{m_pEncrypt, m_pMaster, m_pOwn, m_pNothing, m_pHide, m_pWipe}) {
        connect(pButton, &QAbstractButton::clicked, this, &CHDPageSecurityOptions::OnOptionClicked);
    }
    connect(m_pPassword, &QLineEdit::textChanged, this, &CHDPageSecurityOptions::OnPasswordChanged);
    connect(m_pEncSettings, &QAbstractButton::clicked, this, &CHDPageSecurityOptions::OnBnClickedEncSettings);
    connect(m_pWipeSettings, &QAbstractButton::clicked, this, &CHDPageSecurityOptions::OnBnClickedWipeSettings);

    CGradientProgressCtrl::StylePasswordMeter(*m_pStrengthBar);
    ShowStrength();

    m_bEncrypt = m_mngr.m_bEncrypt != 0 ? 1 : 0;
    m_iPasswordType = m_mngr.m_iPasswordType;
    m_iAction = m_mngr.m_iHidenType;
    if (m_mngr.m_bHideDisabled != 0) {
        m_bHideLocked = true;
        m_pHide->setEnabled(false);
    }
    UpdatePage();
    if (parentWidget() != nullptr && !parentWidget()->size().isEmpty()) {
        resize(parentWidget()->size());
    }
    return true;
}

void CHDPageSecurityOptions::OnDestroyPage()
{
    m_strPassword.clear();
    m_strConfirm.clear();
}

bool CHDPageSecurityOptions::DoDataExchange(bool bSaveAndValidate)
{
    if (m_pEncrypt == nullptr) {
        return false;
    }
    if (bSaveAndValidate) {
        m_bEncrypt = m_pEncrypt->isChecked() ? 1 : 0;
        m_iPasswordType = m_pPasswordGroup->checkedId() < 0 ? 0 : m_pPasswordGroup->checkedId();
        m_iAction = m_pActionGroup->checkedId() < 0 ? 0 : m_pActionGroup->checkedId();
        QString strPassword = m_pPassword->text();
        m_strPassword = HVTakeText(strPassword);
        QString strConfirm = m_pConfirm->text();
        m_strConfirm = HVTakeText(strConfirm);
        return true;
    }
    m_pEncrypt->setChecked(m_bEncrypt != 0);
    if (QAbstractButton* pButton = m_pPasswordGroup->button(m_iPasswordType)) {
        pButton->setChecked(true);
    }
    if (QAbstractButton* pButton = m_pActionGroup->button(m_iAction)) {
        pButton->setChecked(true);
    }
    // The password fields are read from their line edits only, never written back.
    return true;
}

void CHDPageSecurityOptions::UpdatePage()
{
    if (m_pGo == nullptr) {
        return;
    }
    m_pGo->setEnabled(m_bEncrypt != 0 || m_iAction != 0);
    m_pHide->setText(m_bEncrypt != 0 ? HVLoadString(IDS_OPT_HIDE_ENCRYPTED) : HVLoadString(IDS_OPT_HIDE));
    m_pWipeSettings->setEnabled(m_iAction == 2);
    const bool bOwn = m_bEncrypt != 0 && m_iPasswordType == 1;
    m_pEncSettings->setEnabled(m_bEncrypt != 0);
    m_pMaster->setEnabled(m_bEncrypt != 0);
    m_pOwn->setEnabled(m_bEncrypt != 0);
    for (QWidget* pWidget : std::initializer_list<QWidget*>{m_pStaticPassword,
                                                            m_pStaticConfirm,
                                                            m_pPassword,
                                                            m_pConfirm,
                                                            m_pStrengthBar,
                                                            m_pStaticStrength,
                                                            m_pStrengthLabel}) {
        pWidget->setEnabled(bOwn);
    }
    if (m_bHideLocked) {
        m_pHide->setEnabled(false);
    }
    QString strText;
    if (SummaryText(m_bEncrypt, m_iAction, strText)) {
        m_strSummary = strText;
        m_pSummary->SetWindowText(m_strSummary);
    }
    UpdateData(false);
}

void CHDPageSecurityOptions::OnOptionClicked()
{
    UpdateData(true);
    UpdatePage();
}

void CHDPageSecurityOptions::ShowStrength()
{
    const SPasswordStrength strength = CHDGlobalData::PasswordStrength(m_pPassword->text());
    m_pStrengthBar->SetPos(strength.nBarValue);
    m_pStrengthLabel->setText(strength.strLabel);
}

void CHDPageSecurityOptions::OnPasswordChanged()
{
    UpdateData(true);
    ShowStrength();
}

void CHDPageSecurityOptions::OnBnClickedEncSettings()
{
    HVOpenPreferences(window(), 1);
}

void CHDPageSecurityOptions::OnBnClickedWipeSettings()
{
    HVOpenPreferences(window(), 2);
}

bool CHDPageSecurityOptions::OnBnClickedGo()
{
    HV_FUNC_LOG();
    UpdateData(true);
    if (m_bEncrypt != 0 && m_iPasswordType == 1) {
        const std::size_t nLength = m_strPassword.Utf16Units().size();
        if (nLength == 0) {
            HVPageUi::ShowMessage(this, IDS_PASSWORD_EMPTY);
            m_pPassword->setFocus();
            return false;
        }
        if (nLength < kMinPassword || nLength > kMaxPassword) {
            HVPageUi::ShowMessage(this, IDS_PASSWORD_LENGTH_256);
            m_pPassword->setFocus();
            return false;
        }
        if (!m_strPassword.Equals(m_strConfirm)) {
            HVPageUi::ShowMessage(this, IDS_PASSWORD_MISMATCH);
            m_pConfirm->setFocus();
            return false;
        }
    }
    m_mngr.m_bEncrypt = m_bEncrypt;
    m_mngr.m_iPasswordType = m_iPasswordType;
    m_mngr.m_iHidenType = m_iAction;
    m_mngr.m_strPassword = m_strPassword.Clone();
    (void)m_mngr.SecureData();
    // The password of the run is not kept in the manager after it.
    m_mngr.m_strPassword.clear();
    return true;
}

void CHDPageSecurityOptions::OnBnClickedBack()
{
    (void)m_mngr.SwitchPage(CHalvoDataSecurityDlg::kPageSecureData);
}

void CHDPageSecurityOptions::OnBnClickedCancel()
{
    if (HVPageUi::AskYesNo(this, IDS_ASK_LEAVE_TASK)) {
        PostPageSwitch(m_mngr, &m_mainDlg, CHalvoDataSecurityDlg::kPageWelcome);
    }
}

void CHDPageSecurityOptions::OnBnClickedHelp()
{
    g_HDGlobalData.ShowHelpTopic(QString::fromLatin1(kHelpTopic));
}

bool CHDPageSecurityOptions::OnSetActive()
{
    HV_FUNC_LOG();
    return true;
}

bool CHDPageSecurityOptions::OnKillActive(int /*nNextPageId*/)
{
    HV_FUNC_LOG();
    return true;
}

void CHDPageSecurityOptions::paintEvent(QPaintEvent* /*pEvent*/)
{
    QPainter p(this);
    Paint(*this, p, EThemeImage::SecureHeader);
    PaintHeading(*this, p, HVLoadString(IDS_OPT_HEADING));
    if (m_pFrame != nullptr) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(CGlobalColors::Color(kFrameColour), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(m_pFrame->geometry()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }
}

void CHDPageSecurityOptions::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_F1) {
        OnBnClickedHelp();
        return;
    }
    CHPageDlg::keyPressEvent(pEvent);
}
