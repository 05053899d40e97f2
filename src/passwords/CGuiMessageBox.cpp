#include "passwords/CGuiMessageBox.h"

#include "engines/CSecureBuffer.h"
#include "passwords/CDlg_AfxMsgBoxEx.h"
#include "passwords/HVWipeText.h"
#include "resources/HVResourceStrings.h"
#include "settings/CHDGlobalData.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

namespace {

CGuiMessageBox::Hook& HookRef()
{
    static CGuiMessageBox::Hook s_hook;
    return s_hook;
}

QMessageBox::StandardButton Box(QWidget* pParent,
                                unsigned nId,
                                const QString& strText,
                                QMessageBox::StandardButtons buttons,
                                const QString& strCaption)
{
    if (HookRef()) {
        return HookRef()(pParent, nId, strText, buttons);
    }
    QMessageBox box(buttons == QMessageBox::Ok ? QMessageBox::Information : QMessageBox::Question,
                    strCaption,
                    strText,
                    buttons,
                    pParent);
    if (pParent == nullptr) {
        box.show();
        box.raise();
        box.activateWindow();
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

CGuiMessageBox::HelpHook& HelpRef()
{
    static CGuiMessageBox::HelpHook s_hook;
    return s_hook;
}

}  // namespace

void CGuiMessageBox::SetHook(Hook hook)
{
    HookRef() = std::move(hook);
}

bool CGuiMessageBox::HasHook()
{
    return static_cast<bool>(HookRef());
}

QString CGuiMessageBox::Caption()
{
    return HVLoadString(kCaptionId);
}

void CGuiMessageBox::Show(QWidget* pParent, unsigned nId)
{
    ShowText(pParent, HVLoadString(nId), nId);
}

void CGuiMessageBox::ShowText(QWidget* pParent, const QString& strText, unsigned nId)
{
    Box(pParent, nId, strText, QMessageBox::Ok, Caption());
}

bool CGuiMessageBox::AskYesNo(QWidget* pParent, unsigned nTextId, unsigned nCaptionId)
{
    return Box(pParent, nTextId, HVLoadString(nTextId), QMessageBox::Yes | QMessageBox::No, HVLoadString(nCaptionId))
           == QMessageBox::Yes;
}

bool CGuiMessageBox::AskApplyToAll(QWidget* pParent, const QString& strText, bool& bApplyToAll)
{
    CDlg_AfxMsgBoxEx box(pParent);
    box.SetMessageText(strText);
    const bool bYes = box.exec() == QDialog::Accepted;
    bApplyToAll = box.GetApplyToAll();
    return bYes;
}

void CGuiMessageBox::BringToFront(QDialog* pDialog)
{
    QWidget* pOver = pDialog->parentWidget() != nullptr ? pDialog->parentWidget()->window() : nullptr;
    const QSize size = pDialog->size().expandedTo(pDialog->sizeHint());
    QRect area;
    if (pOver != nullptr && pOver->isVisible()) {
        area = pOver->frameGeometry();
    } else if (QScreen* pScreen = QGuiApplication::primaryScreen()) {
        area = pScreen->availableGeometry();
    }
    if (area.isValid()) {
        pDialog->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    if (pDialog->windowState() & Qt::WindowMinimized) {
        pDialog->setWindowState(pDialog->windowState() & ~Qt::WindowMinimized);
    }
    pDialog->raise();
    pDialog->activateWindow();
}

void CGuiMessageBox::TakeText(QLineEdit* pEdit, CSecureBuffer& utf16)
{
    QString strText = pEdit->text();
    pEdit->clear();               // the field lets go of the text first,
    utf16 = HVTakeText(strText);  // so that this last holder wipes its storage
}

void CGuiMessageBox::SetHelpHook(HelpHook hook)
{
    HelpRef() = std::move(hook);
}

bool CGuiMessageBox::HasHelpHook()
{
    return static_cast<bool>(HelpRef());
}

bool CGuiMessageBox::ShowHelp(const QString& strTopic)
{
    if (HelpRef()) {
        return HelpRef()(strTopic);
    }
    return g_HDGlobalData.ShowHelpTopic(strTopic);
}
