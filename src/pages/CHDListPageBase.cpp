#include "pages/CHDListPageBase.h"

#include "pages/CHDItemListPanel.h"
#include "pages/HVPageUi.h"
#include "pages/HVTaskPage.h"
#include "resources/HVResourceStrings.h"
#include "settings/CHDGlobalData.h"
#include "ui/CGlobalColors.h"
#include "ui/CXListCtrl.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QPainter>

using namespace HVTaskPage;

CHDListPageBase::CHDListPageBase(int nPageId,
                                 const char* pszObjectName,
                                 const char* pszHelpTopic,
                                 EThemeImage eHeader,
                                 unsigned nHeading,
                                 CHalvoDataSecurityDlg& mainDlg,
                                 CDataSecurityMngr& mngr)
    : CHPageDlg(nPageId)
    , m_mainDlg(mainDlg)
    , m_mngr(mngr)
    , m_pszHelpTopic(pszHelpTopic)
    , m_eHeader(eHeader)
    , m_nHeading(nHeading)
{
    setObjectName(QString::fromLatin1(pszObjectName));
}

CHDListPageBase::~CHDListPageBase() = default;

SPageFrame CHDListPageBase::BeginInit()
{
    setAcceptDrops(true);
    return BeginTaskPage(*this, m_eHeader);
}

void CHDListPageBase::EndInit()
{
    if (parentWidget() != nullptr && !parentWidget()->size().isEmpty()) {
        resize(parentWidget()->size());
    }
}

void CHDListPageBase::MakePanel(const QRect& rc, int nId)
{
    m_pPanel = new CHDItemListPanel(this, rc, nId);
    connect(m_pPanel, &CHDItemListPanel::ContextMenuRequested, this, [this](const QPoint& pos) {
        OnCommand(m_pPanel->TrackContextMenu(pos));
    });
}

void CHDListPageBase::DestroyPanel()
{
    delete m_pPanel;
    m_pPanel = nullptr;
}

void CHDListPageBase::AddChosenFiles(const QString& strFilter, bool bResolveLinks, bool (*pfnTake)(const QString&))
{
    HVPageUi::SOpenFileRequest request;
    request.strTitle = QStringLiteral("Select Files To Add");
    request.strFilter = strFilter;
    request.bResolveLinks = bResolveLinks;
    const QStringList lstFiles = HVPageUi::GetOpenFileNames(this, request);
    if (lstFiles.isEmpty() || m_pPanel == nullptr) {
        return;
    }
    m_pPanel->List()->setUpdatesEnabled(false);
    for (const QString& strFile : lstFiles) {
        if (pfnTake == nullptr || pfnTake(strFile)) {
            m_pPanel->AddFileRow(strFile);
        }
    }
    m_pPanel->List()->setUpdatesEnabled(true);
    UpdateButtons();
}

void CHDListPageBase::OnBnClickedAddFolder()
{
    const QString strFolder = g_HDGlobalData.BrowseForFolder();
    if (!strFolder.isEmpty() && m_pPanel != nullptr) {
        m_pPanel->AddFolderRow(strFolder);
    }
    UpdateButtons();
}

void CHDListPageBase::OnBnClickedRemove()
{
    if (m_pPanel != nullptr) {
        m_pPanel->RemoveSelected();
    }
    UpdateButtons();
}

void CHDListPageBase::OnBnClickedClear()
{
    if (m_pPanel != nullptr) {
        m_pPanel->Clear();
    }
    UpdateButtons();
}

void CHDListPageBase::OnBnClickedHelp()
{
    (void)g_HDGlobalData.ShowHelpTopic(QString::fromLatin1(m_pszHelpTopic));
}

void CHDListPageBase::OnCommand(int nCommand)
{
    if (m_pPanel == nullptr) {
        return;
    }
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

void CHDListPageBase::SwitchTo(int nPageId)
{
    PostPageSwitch(m_mngr, &m_mainDlg, nPageId);
}

void CHDListPageBase::PaintBody(QPainter& /*painter*/) {}

void CHDListPageBase::paintEvent(QPaintEvent* /*pEvent*/)
{
    QPainter p(this);
    Paint(*this, p, m_eHeader);
    PaintHeading(*this, p, HVLoadString(m_nHeading));
    PaintBody(p);
}

void CHDListPageBase::dragEnterEvent(QDragEnterEvent* pEvent)
{
    if (HVPageUi::HasDroppedPaths(pEvent->mimeData())) {
        pEvent->acceptProposedAction();
    }
}

void CHDListPageBase::dropEvent(QDropEvent* pEvent)
{
    // Accepted first: taking the paths may ask a question, and the drag source waits meanwhile.
    pEvent->acceptProposedAction();
    DropPaths(HVPageUi::DroppedPaths(pEvent->mimeData()));
}

void CHDListPageBase::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_F1) {
        OnBnClickedHelp();
        return;
    }
    CHPageDlg::keyPressEvent(pEvent);
}
