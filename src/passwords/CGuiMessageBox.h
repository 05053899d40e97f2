#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class CSecureBuffer;
class QDialog;
class QLineEdit;

// The program's one way to message boxes and yes/no questions (a numbered string, the
// application title as caption), for the pages, dialogs and runners alike, and the small pieces
// every password dialog shares. A hook replaces the boxes in the tests and in the
// scripted test runs of the program: it receives the parent, the string number (0 for a text
// without one), the text and the buttons, and returns the button "pressed".
class CGuiMessageBox
{
public:
    using Hook = std::function<QMessageBox::StandardButton(
        QWidget* pParent, unsigned nId, const QString& strText, QMessageBox::StandardButtons)>;

    static void SetHook(Hook hook);
    [[nodiscard]] static bool HasHook();

    // OK box with string nId.
    static void Show(QWidget* pParent, unsigned nId);
    // OK box with a text already composed (nId names its string where there is one).
    static void ShowText(QWidget* pParent, const QString& strText, unsigned nId = 0);
    // Yes/No question; true for Yes. Caption: string nCaptionId.
    [[nodiscard]] static bool AskYesNo(QWidget* pParent, unsigned nTextId, unsigned nCaptionId);
    // Yes/No question with an apply-to-all box (CDlg_AfxMsgBoxEx); true for Yes, bApplyToAll
    // the box's state on either answer. Its box is part of the answer, so tests answer the
    // dialog itself, not the hook.
    [[nodiscard]] static bool AskApplyToAll(QWidget* pParent, const QString& strText, bool& bApplyToAll);

    // Opens a help topic (a page name of the help folder); a hook replaces it in the tests.
    using HelpHook = std::function<bool(const QString& strTopic)>;
    static void SetHelpHook(HelpHook hook);
    [[nodiscard]] static bool HasHelpHook();
    static bool ShowHelp(const QString& strTopic);

    // The application title (string kCaptionId).
    static constexpr unsigned kCaptionId = 57344;
    [[nodiscard]] static QString Caption();

    // Centres the dialog (over its parent, else on the screen), restores it when minimised and
    // brings it to the front with the focus: for the dialogs that can come before any other
    // window of the program.
    static void BringToFront(QDialog* pDialog);

    // Hands the edit's text over as UTF-16 code units in secure memory and empties the edit.
    static void TakeText(QLineEdit* pEdit, CSecureBuffer& utf16);
};
