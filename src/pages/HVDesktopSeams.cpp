#include "pages/HVDesktopSeams.h"

#include "globalfuncs/HVPathText.h"
#include "pages/HVPageUi.h"
#include "passwords/CGuiMessageBox.h"
#include "security/CGuiRunNotice.h"
#include "settings/CHDGlobalData.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

namespace HVDesktopSeams {

QString ChooseFolder(const QString& strTitle)
{
    QWidget* pParent = QApplication::activeModalWidget();
    if (pParent == nullptr) {
        pParent = QApplication::activeWindow();
    }
    // Qt hands this to the desktop portal or the desktop's own dialog when there is one.
    // As an address: a desktop dialog hands over a name that is not UTF-8 byte for byte.
    const QString strFolder = HVGlobalMFC::HVPathFromUrl(
        QFileDialog::getExistingDirectoryUrl(pParent,
                                             strTitle,
                                             QUrl::fromLocalFile(QDir::homePath()),
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks,
                                             {QStringLiteral("file")}));
    return strFolder.isEmpty() ? strFolder : QDir::cleanPath(strFolder);
}

void InstallDefaults()
{
    if (!g_HDGlobalData.GetFolderChooser()) {
        g_HDGlobalData.SetFolderChooser(&ChooseFolder);
    }
    // The other seams fall back to Qt's own dialogs and the desktop's browser by themselves
    // while nothing replaces them.
}

QStringList Replaced()
{
    QStringList lst;
    const auto* pChooser = g_HDGlobalData.GetFolderChooser().target<QString (*)(const QString&)>();
    if (pChooser == nullptr || *pChooser != &ChooseFolder) {
        lst << QStringLiteral("folder chooser");
    }
    if (HVPageUi::HasOpenFilesHandler()) {
        lst << QStringLiteral("open-file dialog");
    }
    if (CGuiMessageBox::HasHook()) {
        lst << QStringLiteral("message box");
    }
    if (HVPageUi::HasMenuHandler()) {
        lst << QStringLiteral("context menu");
    }
    if (CGuiMessageBox::HasHelpHook()) {
        lst << QStringLiteral("help opener");
    }
    if (CGuiRunNotice::HasSender()) {
        lst << QStringLiteral("desktop notification");
    }
    if (!g_HDGlobalData.UsesDesktopUrlOpener()) {
        lst << QStringLiteral("web opener");
    }
    return lst;
}

}  // namespace HVDesktopSeams
