#include "pages/HVPageUi.h"

#include "globalfuncs/HVPathText.h"
#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace HVPageUi {
namespace {

OpenFilesHandler& OpenFiles()
{
    static OpenFilesHandler handler;
    return handler;
}
MenuHandler& Menu()
{
    static MenuHandler handler;
    return handler;
}

// The URL of a ".desktop" file of type Link, empty for any other file.
QString DesktopLinkUrl(const QString& strPath)
{
    if (!strPath.endsWith(QLatin1String(".desktop"))) {
        return {};
    }
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 64 * 1024) {
        return {};
    }
    bool bInEntry = false;
    bool bLink = false;
    QString strUrl;
    while (!file.atEnd()) {
        const QString strLine = QString::fromUtf8(file.readLine()).trimmed();
        if (strLine.startsWith(QLatin1Char('['))) {
            bInEntry = strLine == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!bInEntry) {
            continue;
        }
        const qsizetype nEq = strLine.indexOf(QLatin1Char('='));
        if (nEq <= 0) {
            continue;
        }
        const QString strKey = strLine.left(nEq).trimmed();
        const QString strValue = strLine.mid(nEq + 1).trimmed();
        if (strKey == QLatin1String("Type")) {
            bLink = strValue == QLatin1String("Link");
        } else if (strKey == QLatin1String("URL")) {
            strUrl = strValue;
        }
    }
    return bLink ? strUrl : QString();
}

}  // namespace

OpenFilesHandler SetOpenFilesHandler(OpenFilesHandler handler)
{
    return std::exchange(OpenFiles(), std::move(handler));
}
MenuHandler SetMenuHandler(MenuHandler handler)
{
    return std::exchange(Menu(), std::move(handler));
}

bool HasOpenFilesHandler()
{
    return static_cast<bool>(OpenFiles());
}
bool HasMenuHandler()
{
    return static_cast<bool>(Menu());
}

void ShowMessage(QWidget* pParent, unsigned nTextId)
{
    CGuiMessageBox::Show(pParent, nTextId);
}

void ShowMessageText(QWidget* pParent, unsigned nTextId, const QString& strText)
{
    CGuiMessageBox::ShowText(pParent, strText, nTextId);
}

bool AskYesNo(QWidget* pParent, unsigned nTextId)
{
    return CGuiMessageBox::AskYesNo(pParent, nTextId, CGuiMessageBox::kCaptionId);
}

QStringList GetOpenFileNames(QWidget* pParent, const SOpenFileRequest& request)
{
    QStringList lstFiles;
    if (OpenFiles()) {
        lstFiles = OpenFiles()(pParent, request);
    } else {
        // The dialog itself never follows links; the rule below does, the same way for every
        // kind of link.
        // As addresses: a desktop dialog hands over names that are not UTF-8 byte for byte.
        const QList<QUrl> urls = QFileDialog::getOpenFileUrls(pParent,
                                                              request.strTitle,
                                                              QUrl(),
                                                              request.strFilter,
                                                              nullptr,
                                                              QFileDialog::DontResolveSymlinks,
                                                              {QStringLiteral("file")});
        for (const QUrl& url : urls) {
            const QString strFile = HVGlobalMFC::HVPathFromUrl(url);
            if (!strFile.isEmpty()) {
                lstFiles.append(strFile);
            }
        }
    }
    if (request.bResolveLinks) {
        for (QString& strFile : lstFiles) {
            strFile = ResolveLink(strFile);
        }
    }
    return lstFiles;
}

int ExecMenu(QMenu& menu, const QPoint& globalPos)
{
    if (Menu()) {
        return Menu()(menu, globalPos);
    }
    const QAction* pChosen = menu.exec(globalPos);
    return pChosen != nullptr ? pChosen->data().toInt() : 0;
}

QString ResolveLink(const QString& strPath)
{
    const QFileInfo info(strPath);
    if (info.isSymLink()) {
        const QString strTarget = info.canonicalFilePath();
        return strTarget.isEmpty() ? strPath : strTarget;
    }
    const QString strUrl = DesktopLinkUrl(strPath);
    if (!strUrl.isEmpty()) {
        const QUrl url(strUrl);
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) {
            return url.toLocalFile();
        }
        if (url.scheme().isEmpty() && strUrl.startsWith(QLatin1Char('/'))) {
            return strUrl;
        }
    }
    return strPath;
}

QStringList DroppedPaths(const QMimeData* pData)
{
    QStringList lstPaths;
    if (pData == nullptr || !pData->hasUrls()) {
        return lstPaths;
    }
    for (const QUrl& url : pData->urls()) {
        if (url.isLocalFile()) {
            QString strPath = HVGlobalMFC::HVPathFromUrl(url);
            // A folder dropped from a file manager may come with a trailing slash.
            while (strPath.size() > 1 && strPath.endsWith(QLatin1Char('/'))) {
                strPath.chop(1);
            }
            if (!strPath.isEmpty()) {
                lstPaths.append(strPath);
            }
        }
    }
    return lstPaths;
}

bool HasDroppedPaths(const QMimeData* pData)
{
    return !DroppedPaths(pData).isEmpty();
}

}  // namespace HVPageUi
