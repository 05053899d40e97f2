#pragma once

// The desktop hand-overs of the graphical program and their production defaults: the folder
// chooser (the desktop's own dialog where the platform offers one), the open-file dialog,
// message boxes, questions, context menus, the help and web-address openers. Tests replace each
// of them; the program installs the defaults itself when its front end is built.
#include <QString>
#include <QStringList>

namespace HVDesktopSeams {

// The production folder chooser: the platform's folder dialog (native where available) over
// the active window, starting in the home folder. The chosen folder, empty on cancel.
[[nodiscard]] QString ChooseFolder(const QString& strTitle);

// Puts the production default into every seam that has nothing installed. A seam a test has
// already replaced keeps the test's stand-in.
void InstallDefaults();

// The names of the seams that do not hold their production default ("folder chooser",
// "open-file dialog", "message box", "context menu",
// "help opener", "desktop notification", "web opener"); empty when the program runs on its own dialogs only.
[[nodiscard]] QStringList Replaced();

}  // namespace HVDesktopSeams
