// The main window: construction, the page container, placement, painting and destruction.
#include "mainwnd/CHalvoDataSecurityDlg.h"

#include "logging/CHVFuncLog.h"
#include "mainwnd/CMainWndEmptyPage.h"
#include "mainwnd/CMainWndPageRegistry.h"
#include "resources/HVResourceStrings.h"
#include "security/CDataSecurityMngr.h"
#include "settings/CHDGlobalData.h"
#include "ui/CGlobalColors.h"
#include "ui/CHPageDlg.h"
#include "ui/CHPropertiesPages.h"
#include "ui/CThemeImageList.h"

#include <QApplication>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// Colour of the container's control bar (a Windows colour value).
constexpr HVCOLORREF kControlBarColor = 0xC8C8C8;

QColor ThemeColor(HVCOLORREF nValue)
{
    return CGlobalColors::Color(nValue);
}

// The first of the four state pictures of a navigation strip.
QPixmap NormalState(const CThemeImage& image)
{
    const QList<QPixmap> parts = CThemeImageList::Split(image.Bitmap(), 4);
    return parts.isEmpty() ? QPixmap() : parts.first();
}

}  // namespace

CHalvoDataSecurityDlg::CHalvoDataSecurityDlg(CDataSecurityMngr& mngr, QWidget* pParent)
    : CResizableDialog(pParent)
    , m_mngr(mngr)
{
    setObjectName(QStringLiteral("CHalvoDataSecurityDlg"));
    setWindowTitle(HVLoadString(IDS_MAIN_WINDOW_TITLE));
    setSizeGripEnabled(false);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    const QString strIcon = HVImagePath(HVImageKind::Icon, kIconId);
    if (!strIcon.isEmpty()) {
        m_icon = QIcon(strIcon);
    }
    m_mngr.SetPageSwitcher(this);
    m_minSize = MinimumSizeFor(g_GlobalColors.ResolutionClass());
    m_nStartPage = 0;

    QPalette pal = palette();
    pal.setColor(QPalette::Window, ThemeColor(g_GlobalColors.clrDlgBk));
    pal.setColor(QPalette::WindowText, ThemeColor(g_GlobalColors.clrDlgText));
    setPalette(pal);
    setAutoFillBackground(false);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    BuildMenu();
    pLayout->setMenuBar(m_pMenuBar);

    SetMinTrackSize(m_minSize);
    resize(m_minSize);
    qApp->installEventFilter(this);
}

CHalvoDataSecurityDlg::~CHalvoDataSecurityDlg()
{
    OnDestroy();
}

QSize CHalvoDataSecurityDlg::MinimumSizeFor(int nResolutionClass)
{
    return nResolutionClass == 2 ? QSize(800, 645) : QSize(760, 570);
}

bool CHalvoDataSecurityDlg::OnInitDialog()
{
    HV_FUNC_LOG();
    CResizableDialog::OnInitDialog();
    // The about box is in the Help menu (string 101); the desktop's window menu takes no entries.
    setWindowIcon(m_icon);
    if (const QScreen* pScreen = screen(); pScreen != nullptr) {
        QRect rc(QPoint(0, 0), size());
        rc.moveCenter(pScreen->availableGeometry().center());
        move(rc.topLeft());
    }
    LoadWindowPos();
    CreateGPages();
    return true;
}

int CHalvoDataSecurityDlg::CreateGPages()
{
    if (m_pPages != nullptr) {
        return 1;
    }
    const QRect rcClient = contentsRect();
    auto* pPages = new CHPropertiesPages;
    const CThemeImage& next = g_GlobalColors.Image(EThemeImage::Btn_Next);
    const CThemeImage& previous = g_GlobalColors.Image(EThemeImage::Btn_Previous);
    if (next.HasBitmap() && previous.HasBitmap()) {
        pPages->SetNextImage(NormalState(next));
        pPages->SetPreviousImage(NormalState(previous));
    }
    pPages->SetTextNext(HVLoadString(IDS_NAV_NEXT));
    pPages->SetTextPrevious(HVLoadString(IDS_NAV_PREVIOUS));
    pPages->SetBtnColors(ThemeColor(g_GlobalColors.clrBtnBk), ThemeColor(g_GlobalColors.clrBtnBkHot));
    if (!pPages->Create(this, rcClient)) {
        delete pPages;
        return 0;
    }
    m_pPages = pPages;
    m_pPages->setObjectName(QStringLiteral("GPages"));
    m_pPages->SetControlColorBg(ThemeColor(kControlBarColor));
    m_pPages->SetControlVisible(false);
    for (const int nPageId : kPageIds) {
        m_pPages->InsertPage(MakePage(nPageId));
    }
    layout()->addWidget(m_pPages);
    m_pPages->SetPage(m_nStartPage);
    m_pPages->ReCalcLayout();
    return 1;
}

CHPageDlg* CHalvoDataSecurityDlg::MakePage(int nPageId)
{
    if (const HVPageFactory factory = HVFindPageFactory(nPageId)) {
        if (CHPageDlg* pPage = factory(*this, m_mngr); pPage != nullptr) {
            return pPage;
        }
    }
    return new CMainWndEmptyPage(nPageId, *this);
}

void CHalvoDataSecurityDlg::DestroyAllExcept(int /*nPageId*/)
{
    HV_FUNC_LOG();
    if (m_pPages == nullptr) {
        return;
    }
    for (const int nPageId : {kPageSecureData, kPageSecurityOptions, kPageHideData, kPageDecryption}) {
        const int nIndex = m_pPages->PageIndex(nPageId);
        if (nIndex >= 0 && m_pPages->IsPageCreated(nIndex)) {
            m_pPages->ReplacePage(nIndex, MakePage(nPageId));
        }
    }
}

void CHalvoDataSecurityDlg::PostPageSwitch(int nPageId)
{
    if (m_pPages != nullptr) {
        m_pPages->PostPageSwitch(nPageId);
    }
}

bool CHalvoDataSecurityDlg::LoadWindowPos()
{
    QByteArray placement;
    if (!g_HDGlobalData.m_RegData.LoadWindowPlacement(placement) || placement.isEmpty()) {
        return false;
    }
    if (!restoreGeometry(placement)) {
        return false;
    }
    // Only the maximised state is kept; full screen (and anything else) comes back normal.
    const Qt::WindowStates state = windowState();
    if (state != Qt::WindowNoState && state != Qt::WindowMaximized) {
        setWindowState(state.testFlag(Qt::WindowMaximized) ? Qt::WindowMaximized : Qt::WindowNoState);
    }
    return true;
}

void CHalvoDataSecurityDlg::SaveWindowPos()
{
    if (g_HDGlobalData.m_RegData.m_nWindowPosition == 0) {
        return;
    }
    // A minimised window is stored in the normal state, even when it was maximised before.
    if (windowState().testFlag(Qt::WindowMinimized)) {
        setWindowState(Qt::WindowNoState);
    }
    g_HDGlobalData.m_RegData.SaveWindowPlacement(saveGeometry());
}

void CHalvoDataSecurityDlg::OnCancel()
{
    HV_FUNC_LOG();
    CResizableDialog::OnCancel();
}

void CHalvoDataSecurityDlg::OnDestroy()
{
    if (m_bDestroyed) {
        return;
    }
    m_bDestroyed = true;
    qApp->removeEventFilter(this);
    m_mngr.RemovePageSwitcher(this);
    SaveWindowPos();
    // The pages go while the window is still whole.
    delete m_pPages;
    m_pPages = nullptr;
}

void CHalvoDataSecurityDlg::paintEvent(QPaintEvent* /*pEvent*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), ThemeColor(g_GlobalColors.clrDlgBk));
}
