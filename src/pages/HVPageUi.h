#pragma once

// What the task pages ask of the desktop: message boxes and yes/no questions (through the
// program's one message-box wrapper, CGuiMessageBox), the open-file dialog and the context menu.
// The dialog and the menu go through a replaceable handler, so that tests answer them; by default
// they are Qt's own.
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>

class QMenu;
class QMimeData;
class QWidget;

namespace HVPageUi {

// The open-file dialog as the pages open it.
struct SOpenFileRequest
{
    QString strTitle;            // "Select Files To Add"
    QString strFilter;           // "All Files (*)" or "Encrypted Files (*.hvnc)"
    bool bResolveLinks = false;  // links come back as their targets
};

// The chosen files as full paths, empty on cancel.
using OpenFilesHandler = std::function<QStringList(QWidget* pParent, const SOpenFileRequest& request)>;
// Shows the menu at the position and returns the command of the chosen entry, 0 for none.
using MenuHandler = std::function<int(QMenu& menu, const QPoint& globalPos)>;

// Each setter returns the handler it replaces; an empty handler restores the default.
OpenFilesHandler SetOpenFilesHandler(OpenFilesHandler handler);
MenuHandler SetMenuHandler(MenuHandler handler);
// True while a handler replaces the default (Qt's dialogs and menus).
[[nodiscard]] bool HasOpenFilesHandler();
[[nodiscard]] bool HasMenuHandler();

// Numbered string in a message box with an OK button.
void ShowMessage(QWidget* pParent, unsigned nTextId);
// The same with the string already filled in (the message box's hook is told its number).
void ShowMessageText(QWidget* pParent, unsigned nTextId, const QString& strText);
// Numbered string as a yes/no question with the question icon; true for yes.
[[nodiscard]] bool AskYesNo(QWidget* pParent, unsigned nTextId);
[[nodiscard]] QStringList GetOpenFileNames(QWidget* pParent, const SOpenFileRequest& request);
[[nodiscard]] int ExecMenu(QMenu& menu, const QPoint& globalPos);

// The target of a desktop link: a symbolic link gives the file it points to (followed to the
// end), a ".desktop" file of type Link gives the local file its URL names. Anything else, and a
// link whose target cannot be worked out, comes back as it is.
[[nodiscard]] QString ResolveLink(const QString& strPath);
// The local files of a drop from a file manager (text/uri-list), in order.
[[nodiscard]] QStringList DroppedPaths(const QMimeData* pData);
// True when a drop carries at least one local file.
[[nodiscard]] bool HasDroppedPaths(const QMimeData* pData);

}  // namespace HVPageUi
