// The main window's keyboard handler and the commands it sends to the pages.
#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "security/CDataSecurityMngr.h"
#include "settings/CHDGlobalData.h"
#include "ui/CHPageDlg.h"
#include "ui/CHPropertiesPages.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPointer>

namespace {

// Commands of the pages' buttons.
constexpr int kCmdBack = 1019;               // options page: back; other pages: back to the start
constexpr int kCmdCancel = 1017;             // options page: cancel the task
constexpr int kCmdGo = 4079;                 // options page: go
constexpr int kCmdSelectionPrevious = 4030;  // selection page: back
constexpr int kCmdSelectionNext = 4076;      // selection page: next
constexpr int kCmdRemove = 4038;             // selection and decryption pages: remove selected
constexpr int kCmdSecureData = 4036;         // welcome page: Start Secure Data
constexpr int kCmdHideManagement = 4035;     // welcome page: Hide Management
constexpr int kCmdDecryptData = 4037;        // welcome page: Decrypt Data

}  // namespace

void CHalvoDataSecurityDlg::PostCommand(CHPageDlg* pPage, int nId)
{
    if (pPage == nullptr) {
        return;
    }
    QPointer<CHPageDlg> pTarget(pPage);
    QMetaObject::invokeMethod(
        pPage,
        [pTarget, nId] {
            if (pTarget.isNull()) {
                return;
            }
            const auto buttons = pTarget->findChildren<QAbstractButton*>(QString::number(nId));
            if (!buttons.isEmpty()) {
                QAbstractButton* pButton = buttons.first();
                if (pButton->isEnabled()) {
                    pButton->click();
                }
                return;
            }
            if (pTarget->metaObject()->indexOfMethod("OnCommand(int)") >= 0) {
                QMetaObject::invokeMethod(pTarget.data(), "OnCommand", Q_ARG(int, nId));
            }
        },
        Qt::QueuedConnection);
}

bool CHalvoDataSecurityDlg::PreTranslateKey(int nKey, Qt::KeyboardModifiers modifiers, bool bDryRun)
{
    const bool bAlt = modifiers.testFlag(Qt::AltModifier);
    if (nKey == Qt::Key_Escape) {
        return true;  // the window never closes on Escape
    }
    if (nKey == Qt::Key_F4) {
        if (!bAlt) {
            return false;
        }
        if (!bDryRun) {
            close();
        }
        return true;
    }
    CHPageDlg* pPage = m_pPages != nullptr ? m_pPages->GetPageDlgHandle(m_pPages->GetActiveIndex()) : nullptr;
    if (pPage == nullptr) {
        return false;
    }
    const int nPage = pPage->PageId();
    int nCommand = 0;
    switch (nKey) {
    case Qt::Key_Left:
        if (bAlt) {
            nCommand = nPage == kPageSecurityOptions ? kCmdBack : nPage == kPageSecureData ? kCmdSelectionPrevious : 0;
        }
        break;
    case Qt::Key_Right:
        if (bAlt) {
            nCommand = nPage == kPageSecurityOptions ? kCmdGo : nPage == kPageSecureData ? kCmdSelectionNext : 0;
        }
        break;
    case Qt::Key_Delete:
        nCommand = nPage == kPageSecureData || nPage == kPageDecryption ? kCmdRemove : 0;
        break;
    case Qt::Key_D:
        nCommand = bAlt && nPage == kPageWelcome ? kCmdDecryptData : 0;
        break;
    case Qt::Key_M:
        if (!bAlt) {
            break;
        }
        if (nPage == kPageWelcome) {
            if (m_mngr.m_bHideDisabled == 1) {
                return true;  // taken: hiding is not available
            }
            nCommand = kCmdHideManagement;
        } else {
            nCommand = nPage == kPageSecurityOptions ? kCmdCancel : kCmdBack;
        }
        break;
    case Qt::Key_S:
        nCommand = bAlt && nPage == kPageWelcome ? kCmdSecureData : 0;
        break;
    default:
        break;
    }
    if (nCommand == 0) {
        return false;
    }
    if (!bDryRun) {
        PostCommand(pPage, nCommand);
    }
    return true;
}

// Keys of the window's own widgets come here first (not those of a dialog it opened, which is
// a window of its own). A key the handler takes is claimed at the shortcut stage as well, so
// that no button mnemonic or menu shortcut runs before it.
bool CHalvoDataSecurityDlg::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    const QEvent::Type type = pEvent->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) {
        return CResizableDialog::eventFilter(pWatched, pEvent);
    }
    auto* pWidget = qobject_cast<QWidget*>(pWatched);
    if (pWidget == nullptr || pWidget->window() != this || !isEnabled()) {
        return CResizableDialog::eventFilter(pWatched, pEvent);
    }
    auto* pKey = static_cast<QKeyEvent*>(pEvent);
    if (type == QEvent::ShortcutOverride) {
        if (PreTranslateKey(pKey->key(), pKey->modifiers(), true)) {
            pKey->accept();
            return true;
        }
        return false;
    }
    if (PreTranslateKey(pKey->key(), pKey->modifiers())) {
        pKey->accept();
        return true;
    }
    return false;
}

void CHalvoDataSecurityDlg::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_F1 || pEvent->key() == Qt::Key_Help) {
        OnMenuHelpHelp();
        pEvent->accept();
        return;
    }
    if (pEvent->key() == Qt::Key_Escape) {
        pEvent->accept();
        return;
    }
    CResizableDialog::keyPressEvent(pEvent);
}
