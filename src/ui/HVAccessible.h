#pragma once

// Names for assistive technology: every control a user acts on says what it is.
class QWidget;

namespace HVUi {

// Gives each control below pRoot that has no accessible name of its own, and no text from which
// one is made (a picture-only button, a list, a progress bar), the name of its tooltip, else
// of the label that names it; the tooltip also becomes its description.
void NameControls(QWidget* pRoot);

// Sets the tab order of the controls below pRoot by their place: top to bottom in rows, left to
// right in a row, the default button (a push button marked default) last.
void OrderTabs(QWidget* pRoot);

}  // namespace HVUi
