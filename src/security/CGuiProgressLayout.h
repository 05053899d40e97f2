#pragma once

#include <QString>

class CHProgressCtrlX;
class QDialog;
class QLabel;
class QPushButton;
class QVBoxLayout;

// The look the two progress dialogs share: a header band, the status text (1016), one or two
// labelled bars (1017 overall, 1018 current file) in the theme's progress colours, and a button.
class CGuiProgressLayout
{
public:
    static QVBoxLayout* Begin(QDialog* pDialog, const QString& strTitle);
    static QLabel* AddStatus(QDialog* pDialog, QVBoxLayout* pBody);
    static CHProgressCtrlX* AddBar(QDialog* pDialog, QVBoxLayout* pBody, int nId, const QString& strCaption);
    static QPushButton* AddButton(QDialog* pDialog, QVBoxLayout* pBody, const QString& strText);
    static void ApplyColors(QDialog* pDialog);
    // The run's kind, in the window title and the header band alike.
    static void SetTitle(QDialog* pDialog, const QString& strTitle);
};
