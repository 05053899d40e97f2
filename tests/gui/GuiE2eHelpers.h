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
#include "security/CDlg_Report.h"
#include "ui/CHPageDlg.h"
#include "ui/CHPropertiesPages.h"
#include "ui/CPPHtmlStatic.h"

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
