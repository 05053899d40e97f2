#include "pages/CHDPageWelcome.h"

#include "logging/CHVFuncLog.h"
#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "mainwnd/CMainWndPageRegistry.h"
#include "pages/HVTaskPage.h"
#include "resources/HVResourceStrings.h"
#include "security/CDataSecurityMngr.h"
#include "settings/CHDGlobalData.h"
#include "ui/CBCGButton.h"
#include "ui/CGlobalColors.h"
#include "ui/CHPropertiesPages.h"
#include "ui/CThemeDraw.h"
#include "ui/CThemeImageList.h"

#include <QImage>

namespace {

using HVTaskPage::kDesignSize;
constexpr int kHeaderHeight = 88;  // when the MainHeader picture is missing
constexpr int kFooterHeight = 40;  // when the MainFoter picture is missing
constexpr int kTaskLeft = 40;
constexpr int kTaskStep = 36;  // below a task button: its caption and the gap
constexpr int kTaskButtonWidth = 260;
constexpr int kTaskButtonHeight = 76;
constexpr int kPanelWidth = 230;
constexpr int kPanelHeight = 200;
constexpr int kLinkHeight = 28;
constexpr int kLinkStep = 34;
// Web links of the link panel and the home-page button.
constexpr int kLinkTips = 68;
constexpr int kLinkFaq = 7;
constexpr int kLinkNews = 69;
constexpr int kLinkHome = 1;

// The picture as a disabled button shows it: grey and faded.
QPixmap Greyed(const QPixmap& picture)
{
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* pLine = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int nGrey = 128 + qGray(pLine[x]) / 2;
            pLine[x] = qRgba(nGrey, nGrey, nGrey, qAlpha(pLine[x]));
        }
    }
    QPixmap out = QPixmap::fromImage(image);
    out.setDevicePixelRatio(picture.devicePixelRatio());
    return out;
}

}  // namespace

CHDPageWelcome::CHDPageWelcome(CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr)
    : CHPageDlg(kPageId)
    , m_mainDlg(mainDlg)
    , m_mngr(mngr)
{
    setObjectName(QStringLiteral("CHDPageWelcome"));
}

CHDPageWelcome::~CHDPageWelcome() = default;

CBCGButton* CHDPageWelcome::AddButton(int nId, void (CHDPageWelcome::*pfn)())
{
    auto* pButton = new CBCGButton(this);
    pButton->setObjectName(QString::number(nId));
    connect(pButton, &QAbstractButton::clicked, this, pfn);
    return pButton;
}

bool CHDPageWelcome::OnInitDialog()
{
    HV_FUNC_LOG();
    // Controls are placed for the design size and anchored from there.
    HVTaskPage::BeginPage(*this);
    const int nWidth = kDesignSize.width();
    const int nHeight = kDesignSize.height();
    const int nHeader = g_GlobalColors.m_nMainHeaderHeight > 0 ? g_GlobalColors.m_nMainHeaderHeight : kHeaderHeight;

    m_pFrameTasks = new QWidget(this);
    m_pFrameTasks->setObjectName(QString::number(IDC_FRAME_TASKS));
    m_pFrameTasks->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pFrameTasks->setGeometry(20, nHeader + 20, nWidth - 40 - 200, 18 + 3 * (kTaskButtonHeight + kTaskStep) + 6);
    m_pFrameLinks = new QWidget(this);
    m_pFrameLinks->setObjectName(QString::number(IDC_FRAME_LINKS));
    m_pFrameLinks->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pFrameLinks->setGeometry(nWidth - 210, nHeader + 20, kPanelWidth - 20, kPanelHeight);

    // The three task buttons.
    m_pSecureData = AddButton(IDC_BUTTON_START_SECURE_DATA, &CHDPageWelcome::OnBnClickedButtonStartSecureData);
    m_pHideManagement =
        AddButton(IDC_BUTTON_START_HIDE_MANAGMENT, &CHDPageWelcome::OnBnClickedButtonStartHideManagment);
    m_pDecryptData = AddButton(IDC_BUTTON_START_DEC_DATA, &CHDPageWelcome::OnBnClickedButtonStartDecData);
    const struct
    {
        CBCGButton* pButton;
        EThemeImage image;
        unsigned nText;
        unsigned nTip;
    } tasks[] = {
        {m_pSecureData, EThemeImage::Btn_SecureData, IDS_WELCOME_BTN_SECURE, IDS_WELCOME_TIP_SECURE},
        {m_pHideManagement, EThemeImage::Btn_HideManagment, IDS_WELCOME_BTN_HIDE, IDS_WELCOME_TIP_HIDE},
        {m_pDecryptData, EThemeImage::Btn_Decrypt, IDS_WELCOME_BTN_DECRYPT, IDS_WELCOME_TIP_DECRYPT},
    };
    int y = m_pFrameTasks->y() + 18;
    for (const auto& task : tasks) {
        task.pButton->setGeometry(kTaskLeft, y, kTaskButtonWidth, kTaskButtonHeight);
        SetTaskPicture(task.pButton, task.image, task.nText, task.nTip);
        y = task.pButton->geometry().bottom() + 1 + kTaskStep;
    }
    if (m_mngr.m_bHideDisabled == 1) {
        m_pHideManagement->setEnabled(false);
    }

    // The home-page button in the footer.
    auto* pHome = AddButton(IDC_BUTTON_HOME, &CHDPageWelcome::OnBnClickedButtonHome);
    const CThemeImage& home = g_GlobalColors.Image(EThemeImage::MainFoterR);
    const int nFooter = g_GlobalColors.Image(EThemeImage::MainFoter).HasBitmap()
                            ? g_GlobalColors.Image(EThemeImage::MainFoter).Size().height()
                            : kFooterHeight;
    if (home.HasBitmap()) {
        pHome->SetImage(home.Bitmap());
        pHome->setText(QString());
        pHome->SetMouseCursorHand(true);
        const QSize size = home.Size();
        pHome->setGeometry(
            nWidth - size.width() - 16, nHeight - nFooter + (nFooter - size.height()) / 2, size.width(), size.height());
    } else {
        pHome->setText(HVLoadString(IDS_WELCOME_HOMEPAGE));
        StyleLinkButton(pHome, -1);
        const QSize size = pHome->sizeHint();
        pHome->setGeometry(
            nWidth - size.width() - 16, nHeight - nFooter + (nFooter - size.height()) / 2, size.width(), size.height());
    }

    // The link panel.
    m_pPreferences = AddButton(IDC_BUTTON_PREFERENCES, &CHDPageWelcome::OnBnClickedButtonPreferences);
    const struct
    {
        CBCGButton* pButton;
        int nIcon;
        unsigned nText;
    } links[] = {
        {m_pPreferences, 0, IDS_WELCOME_PREFERENCES},
        {AddButton(IDC_BUTTON_HELP, &CHDPageWelcome::OnBnClickedButtonHelp), 2, IDS_WELCOME_HELP},
        {AddButton(IDC_BUTTON_LINK_68, &CHDPageWelcome::OnBnClickedButtonLink68), 1, IDS_WELCOME_LINK_TIPS},
        {AddButton(IDC_BUTTON_LINK_7, &CHDPageWelcome::OnBnClickedButtonLink7), 3, IDS_WELCOME_LINK_FAQ},
        {AddButton(IDC_BUTTON_LINK_69, &CHDPageWelcome::OnBnClickedButtonLink69), 4, IDS_WELCOME_LINK_NEWS},
    };
    int ly = m_pFrameLinks->y() + 16;
    for (const auto& link : links) {
        SetLinkLook(link.pButton, link.nIcon, link.nText);
        link.pButton->setGeometry(m_pFrameLinks->x() + 12, ly, m_pFrameLinks->width() - 24, kLinkHeight);
        ly += kLinkStep;
    }

    // Anchors: the tasks stay at the top left, their frame stretches with the width, the link
    // panel follows the right edge and the home-page button the bottom-right corner.
    for (CBCGButton* pButton : {m_pSecureData, m_pHideManagement, m_pDecryptData}) {
        AddAnchor(pButton, TOP_LEFT, TOP_LEFT);
    }
    AddAnchor(m_pFrameTasks, TOP_LEFT, TOP_RIGHT);
    AddAnchor(m_pFrameLinks, TOP_RIGHT, TOP_RIGHT);
    for (const auto& link : links) {
        AddAnchor(link.pButton, TOP_RIGHT, TOP_RIGHT);
    }
    AddAnchor(pHome, BOTTOM_RIGHT, BOTTOM_RIGHT);

    m_font = CGlobalColors::MakeFont(12, 400);
    if (parentWidget() != nullptr && !parentWidget()->size().isEmpty()) {
        resize(parentWidget()->size());
    }
    return true;
}

void CHDPageWelcome::SetTaskPicture(CBCGButton* pButton, EThemeImage image, unsigned nTextId, unsigned nTipId)
{
    pButton->setToolTip(HVLoadString(nTipId));
    pButton->setAccessibleName(HVLoadString(nTextId));
    pButton->setAccessibleDescription(HVLoadString(nTipId));
    const CThemeImage& picture = g_GlobalColors.Image(image);
    const QList<QPixmap> halves = picture.HasBitmap() ? CThemeImageList::Split(picture.Bitmap(), 2) : QList<QPixmap>();
    if (halves.size() != 2) {
        // No picture: the plain button with its text.
        pButton->setText(HVLoadString(nTextId));
        return;
    }
    // Normal and hot halves; a disabled task shows the normal half greyed.
    pButton->SetImageList({halves[0], halves[1], Greyed(halves[0])});
    pButton->SetImagelistOrder(0, 1, 0, 2);
    const QSize size = (QSizeF(halves[0].size()) / halves[0].devicePixelRatio()).toSize();
    pButton->resize(size);
    pButton->setText(QString());
    pButton->SetMouseCursorHand(true);
}

void CHDPageWelcome::SetLinkLook(CBCGButton* pButton, int nIcon, unsigned nTextId)
{
    pButton->setText(HVLoadString(nTextId));
    const QPixmap icon = g_WelcomeImageList.Image(nIcon);
    if (!icon.isNull()) {
        pButton->SetImage(icon);
    }
    const QColor face = LinkPanelFace();
    pButton->SetFaceColor(face);
    pButton->SetFaceColorHot(face);
    pButton->SetHorzMargin(2);
    pButton->SetDrawBorder(false);
    pButton->SetMouseCursorHand(true);
}

void CHDPageWelcome::OnDestroyPage()
{
    // The picture lists live in the buttons and go with them.
    m_pSecureData = m_pHideManagement = m_pDecryptData = m_pPreferences = nullptr;
}

bool CHDPageWelcome::OnSetActive()
{
    HV_FUNC_LOG();
    m_mainDlg.DestroyAllExcept(kPageId);
    if (m_pPreferences != nullptr) {
        m_pPreferences->setFocus(Qt::OtherFocusReason);
    }
    return true;
}

void CHDPageWelcome::showEvent(QShowEvent* pEvent)
{
    CHPageDlg::showEvent(pEvent);
    if (m_pPreferences != nullptr) {
        m_pPreferences->setFocus(Qt::OtherFocusReason);
    }
}

bool CHDPageWelcome::OnKillActive(int /*nNextPageId*/)
{
    HV_FUNC_LOG();
    return true;
}

void CHDPageWelcome::PostSwitch(int nPageId)
{
    if (!m_mngr.SwitchPage(nPageId)) {
        m_mainDlg.PostPageSwitch(nPageId);
    }
}

void CHDPageWelcome::OnBnClickedButtonStartSecureData()
{
    HV_FUNC_LOG();
    PostSwitch(CHalvoDataSecurityDlg::kPageSecureData);
}

void CHDPageWelcome::OnBnClickedButtonStartHideManagment()
{
    HV_FUNC_LOG();
    PostSwitch(CHalvoDataSecurityDlg::kPageHideData);
}

void CHDPageWelcome::OnBnClickedButtonStartDecData()
{
    HV_FUNC_LOG();
    PostSwitch(CHalvoDataSecurityDlg::kPageDecryption);
}

void CHDPageWelcome::OnBnClickedButtonPreferences()
{
    HV_FUNC_LOG();
    HVOpenPreferences(window(), 0);
}

void CHDPageWelcome::OnBnClickedButtonHelp()
{
    HV_FUNC_LOG();
    g_HDGlobalData.ShowHelpTopic(QString());
}

void CHDPageWelcome::OnBnClickedButtonLink68()
{
    HV_FUNC_LOG();
    g_HDGlobalData.OpenWebLink(kLinkTips);
}

void CHDPageWelcome::OnBnClickedButtonLink7()
{
    HV_FUNC_LOG();
    g_HDGlobalData.OpenWebLink(kLinkFaq);
}

void CHDPageWelcome::OnBnClickedButtonLink69()
{
    HV_FUNC_LOG();
    g_HDGlobalData.OpenWebLink(kLinkNews);
}

void CHDPageWelcome::OnBnClickedButtonHome()
{
    HV_FUNC_LOG();
    g_HDGlobalData.OpenWebLink(kLinkHome);
}
