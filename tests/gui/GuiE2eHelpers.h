#pragma once

// The main window, its pages and the report as the end-to-end tests see them, the test data and
// the check of an encrypted file.
#include "engines/CEncryptManager.h"
#include "engines/HvncResult.h"
#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "pages/CHDPageDataBrows.h"
#include "pages/CHDPageHideData.h"
#include "pages/CHDPageSecurityOptions.h"
#include "pages/CHDPageWelcome.h"
#include "pages/CPage_Decryption.h"
#include "passwords/CDlg_Setmasterpassword.h"
#include "security/CDlg_Report.h"
#include "ui/CHPageDlg.h"
#include "ui/CHPropertiesPages.h"
#include "ui/CPPHtmlStatic.h"
#include "ui/CXListCtrl.h"

#include <QtTest>

#include <cstdint>
#include <vector>

#include "GuiE2eSupport.h"

namespace GuiE2e {

inline const QString kMaster = QStringLiteral("master-Pass-1");
inline const QString kOwn = QStringLiteral("own-Secret-42");

// Content that crosses the engine's block boundaries and is not all one byte.
inline QByteArray Pattern(int nSize, char cSeed)
{
    QByteArray data(nSize, '\0');
    for (int i = 0; i < nSize; ++i) {
        data[i] = static_cast<char>((i * 31 + cSeed) & 0xFF);
    }
    return data;
}

// The plain bytes of an encrypted file, opened with the password; empty when it does not open.
inline QByteArray Decrypted(const QString& strPath, const QString& strPassword, int* pResult = nullptr)
{
    CEncryptManager engine;
    engine.SetPassword(strPassword.toStdU16String());
    std::vector<std::uint8_t> plain;
    const int nResult = engine.DecryptFileW(QFile::encodeName(strPath).toStdString(), plain);
    if (pResult != nullptr) {
        *pResult = nResult;
    }
    return nResult == HVNC_OK ? QByteArray(reinterpret_cast<const char*>(plain.data()), qsizetype(plain.size()))
                              : QByteArray();
}

inline CHalvoDataSecurityDlg* MainWindow()
{
    return qobject_cast<CHalvoDataSecurityDlg*>(QApplication::activeModalWidget());
}

// The page the main window shows, when the main window is the active modal window.
inline int CurrentPage()
{
    CHalvoDataSecurityDlg* pMain = MainWindow();
    return pMain != nullptr && pMain->isVisible() && pMain->GetGPages() != nullptr
               ? pMain->GetGPages()->GetCurrentPageDlg()
               : -1;
}

inline CHPageDlg* Page(int nPageId)
{
    CHalvoDataSecurityDlg* pMain = MainWindow();
    if (pMain == nullptr || pMain->GetGPages() == nullptr) {
        return nullptr;
    }
    const int nIndex = pMain->GetGPages()->PageIndex(nPageId);
    return nIndex >= 0 ? pMain->GetGPages()->GetPageDlgHandle(nIndex) : nullptr;
}

// A step condition: the main window shows page nPageId.
inline std::function<bool()> OnPage(int nPageId)
{
    return [nPageId] { return CurrentPage() == nPageId && Page(nPageId) != nullptr && Page(nPageId)->isVisible(); };
}

inline void Click(QWidget* pParent, int nId)
{
    QAbstractButton* pButton = Child(pParent, nId);
    const QByteArray id = QByteArray::number(nId);
    QVERIFY2(pButton != nullptr, id.constData());
    QVERIFY2(pButton->isEnabled(), id.constData());
    pButton->click();
}

// Closes the program through the main window's Exit command.
inline void ExitProgram()
{
    MainWindow()->MenuAction(CHalvoDataSecurityDlg::ID_MENU_EXIT)->trigger();
}

// The first step of a first start: the master password is chosen.
inline void ChooseMasterPassword(CScript& script)
{
    script.OnDialog<CDlg_Setmasterpassword>(QStringLiteral("master password chosen"),
                                            [](CDlg_Setmasterpassword* p) { AnswerNewPassword(p, kMaster); });
}

// On the options page: encryption on, the password and the action radio buttons chosen, an own
// password typed twice (when given), then Go.
inline void SecureWithOptions(int nPasswordRadio, int nActionRadio, const QString& strOwn = {})
{
    CHPageDlg* pPage = Page(CHalvoDataSecurityDlg::kPageSecurityOptions);
    auto* pEncrypt = Child(pPage, CHDPageSecurityOptions::IDC_CHECK_ENCRYPT);
    QVERIFY(pEncrypt != nullptr);
    if (!pEncrypt->isChecked()) {
        pEncrypt->click();
    }
    Click(pPage, nPasswordRadio);
    Click(pPage, nActionRadio);
    if (!strOwn.isEmpty()) {
        Child<QLineEdit>(pPage, CHDPageSecurityOptions::IDC_EDIT_PASSWORD)->setText(strOwn);
        Child<QLineEdit>(pPage, CHDPageSecurityOptions::IDC_EDIT_CONFIRM)->setText(strOwn);
    }
    Click(pPage, CHDPageSecurityOptions::IDC_BUTTON_GO);
}

// Encrypts a file under the password with an engine of the test and removes the plain file.
inline void EncryptAway(const QString& strPath, const QString& strPassword)
{
    CEncryptManager engine;
    engine.SetPassword(strPassword.toStdU16String());
    QVERIFY(engine.EncryptFileW(QFile::encodeName(strPath).toStdString()) != 0);
    QVERIFY(QFile::remove(strPath));
}

// The texts of a list's column, row by row.
inline QStringList ColumnTexts(CXListCtrl* pList, int nColumn = 0)
{
    QStringList lst;
    for (int i = 0; pList != nullptr && i < pList->GetItemCount(); ++i) {
        lst << pList->GetItemText(i, nColumn);
    }
    return lst;
}

// What the program did when a script did not come to its end.
inline QString Diagnose(const CScript& script, const CWindowLog& log, CHalvoDataSecurityApp::EEnd eEnd)
{
    return QStringLiteral("waiting for \"%1\"; start-up end %2; windows shown: %3; messages: %4")
        .arg(script.NextStep())
        .arg(int(eEnd))
        .arg(log.m_shown.join(u','), log.m_messages.join(u'|'));
}

struct SReportSeen
{
    int nKind = -1;
    QString strText;
};

inline void ReadReport(CDlg_Report* pDlg, SReportSeen& seen)
{
    seen.nKind = pDlg->Kind();
    seen.strText = pDlg->Label() != nullptr ? pDlg->Label()->Document().toPlainText() : QString();
}

// A cheap key derivation while the test object lives (each file records its own cost, so
// decryption is not affected); the default is put back at the end.
struct SCheapKdf
{
    SCheapKdf() { CEncryptManager::SetDefaultKdfCost(64, 1); }
    ~SCheapKdf()
    {
        CEncryptManager::SetDefaultKdfCost(CEncryptManager::kDefaultKdfMemKiB, CEncryptManager::kDefaultKdfPasses);
    }
    SCheapKdf(const SCheapKdf&) = delete;
    SCheapKdf& operator=(const SCheapKdf&) = delete;
};

// One scripted start of the program: the exit code, how start-up ended, and what went wrong
// (empty when the script ran to its end without a failed step).
struct SRun
{
    int nExit = -1;
    CHalvoDataSecurityApp::EEnd eEnd = CHalvoDataSecurityApp::EEnd::NotStarted;
    QString strFailure;
};

// Starts the script, runs the program with lstArgs, then takes the test's answers to the page's
// file and folder dialogs away again.
inline SRun RunScripted(CScript& script, const CWindowLog& log, const QStringList& lstArgs)
{
    SRun run;
    script.Start();
    run.nExit = RunProgram(lstArgs, &run.eEnd);
    HVPageUi::SetOpenFilesHandler({});
    g_HDGlobalData.SetFolderChooser({});
    if (!script.Failure().isEmpty()) {
        run.strFailure = script.Failure() + u' ' + Diagnose(script, log, run.eEnd);
    } else if (!script.Done()) {
        run.strFailure = Diagnose(script, log, run.eEnd);
    }
    return run;
}

}  // namespace GuiE2e
