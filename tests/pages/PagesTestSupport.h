#pragma once

// What the page tests share: HOME and the XDG folders in a temporary folder, the resource
// module, a main window and manager, runners that do the real work on the calling thread, a
// front end that records what the flows show, and answers for the pages' dialogs.
#include "hiding/CHidingEngine.h"
#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "pages/HVPageUi.h"
#include "pages/HVTaskPages.h"
#include "passwords/CGuiMessageBox.h"
#include "resources/CResourceModule.h"
#include "resources/HVResourceStrings.h"
#include "security/CDataSecurityMngr.h"
#include "security/CHideProgrssWork.h"
#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"
#include "security/CReportComposer.h"
#include "security/IDataSecurityUi.h"
#include "security/IProgrssManagerUi.h"
#include "security/IRunnerHost.h"
#include "security/SRunOptions.h"
#include "settings/CHDGlobalData.h"
#include "ui/CXListCtrl.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <deque>
#include <memory>
#include <vector>

#include "support/Answers.h"
#include "support/Controls.h"
#include "support/TempHome.h"
namespace PagesTest {

// A temporary home (HOME, the XDG folders and a work folder), with default settings.
class CTempHome : public hvtest::CTempHome
{
public:
    CTempHome()
    {
        g_HDGlobalData.m_RegData = CMRegistryData();
        g_HDGlobalData.m_RegData.m_nAsscExtension = 0;
    }
};

inline bool LoadResources()
{
    const QString strBin = qEnvironmentVariable("HV_BUILD_BIN");
    return CResourceModule::Instance().IsLoaded()
           || CResourceModule::Instance().Load(strBin + QLatin1Char('/') + CResourceModule::DefaultFileName());
}

// The runner's questions answered without a window: attributes yes, no password prompt.
class CQuietRunUi final : public IProgrssManagerUi
{
public:
    void SetStatusText(const QString&) override {}
    void SetProgress(double, double) override {}
    bool AskAttribute(EAttribute, const QString&, bool& bApplyToAll) override
    {
        bApplyToAll = true;
        return true;
    }
    // The password prompt for an encrypted file: the host's answer, when it has one.
    bool EnterPassword(const QString&, CSecureBuffer& utf16) override
    {
        if (!m_strAnswer.isEmpty()) {
            utf16 = CSecureBuffer::FromUtf16Units(m_strAnswer.toStdU16String());
        }
        return !m_strAnswer.isEmpty();
    }
    void ShowMessage(const QString&) override {}
    void RunEnded(EEnd) override {}

    QString m_strAnswer;
};

// The encrypt, wipe and decrypt runner's work, run on the calling thread.
class CWorkRun final : public IProgrssRun
{
public:
    explicit CWorkRun(const QString& strPasswordAnswer) { m_ui.m_strAnswer = strPasswordAnswer; }
    void SetSelectedItems(const std::vector<CItemData*>& items) override { m_work.SetSelectedItems(items); }
    void SetPassword(const CSecureBuffer& utf16) override { m_work.SetPassword(utf16); }
    void SetMasterPassword(const CSecureBuffer& utf16) override { m_work.SetMasterPassword(utf16); }
    void RunModal(const SRunOptions& options) override
    {
        m_work.Initialise(options, &m_ui);
        QCOMPARE(m_work.Run(), 0);
    }
    [[nodiscard]] const SRunCounters& Counters() const override { return m_work.Counters(); }
    [[nodiscard]] const FileList& Files() const override { return m_work.Files(); }
    void ClearFileList() override { m_work.ClearFileList(); }

private:
    CQuietRunUi m_ui;
    CProgrssManagerWork m_work;
};

// The hide runner's work on the calling thread: hides through the manager, unhides through its
// engine.
class CWorkHide final : public IHideRun
{
public:
    explicit CWorkHide(CDataSecurityMngr& mngr)
    {
        m_work.SetHidePath([&mngr](const QString& strPath) { return mngr.HidePath(strPath); });
        m_work.SetHideControl(mngr.m_pHideControl);
    }
    void SetItems(const std::vector<CItemData*>& items) override { m_work.SetItems(items); }
    void RunModal(const SHideRunOptions& options) override
    {
        m_work.Initialise(options, nullptr);
        QCOMPARE(m_work.Run(), 0);
    }
    [[nodiscard]] const SHideCounters& Counters() const override { return m_work.Counters(); }

private:
    CHideProgrssWork m_work;
};

class CWorkHost final : public IRunnerHost
{
public:
    explicit CWorkHost(CDataSecurityMngr& mngr)
        : m_mngr(mngr)
    {
    }
    std::unique_ptr<IProgrssRun> CreateProgrssManager() override
    {
        ++m_nRuns;
        return std::make_unique<CWorkRun>(m_strPasswordAnswer);
    }
    std::unique_ptr<IHideRun> CreateHideProgrss() override
    {
        ++m_nHideRuns;
        return std::make_unique<CWorkHide>(m_mngr);
    }
    int m_nRuns = 0;
    int m_nHideRuns = 0;
    QString m_strPasswordAnswer;  // what the runner's password prompt is answered

private:
    CDataSecurityMngr& m_mngr;
};

// The flows' front end: records messages and reports.
class CRecordingUi final : public IDataSecurityUi
{
public:
    bool AskNewMasterPassword(CSecureBuffer&) override { return false; }
    bool AskMasterPassword(int, CSecureBuffer&) override { return false; }
    void ShowMessage(unsigned nStringId, const QStringList& = QStringList()) override
    {
        m_messages.push_back(nStringId);
    }
    bool AskYesNo(unsigned, unsigned) override { return true; }
    bool AskNewPassword(CSecureBuffer&) override { return false; }
    void ShowReport(const CReportComposer& report) override { m_reports.push_back(report); }

    std::vector<unsigned> m_messages;
    std::vector<CReportComposer> m_reports;
};

// Answers for the pages' own dialogs: messages and questions are recorded, questions answered
// from a queue (yes when it is empty), the open-file dialog from a queue of file lists.
class CPageAnswers
{
public:
    CPageAnswers()
    {
        CGuiMessageBox::SetHook([this](QWidget*, unsigned nId, const QString&, QMessageBox::StandardButtons buttons) {
            if (buttons == QMessageBox::Ok) {
                m_messages.push_back(nId);
                return QMessageBox::Ok;
            }
            m_questions.push_back(nId);
            return hvtest::Next(m_answers, true) ? QMessageBox::Yes : QMessageBox::No;
        });
        HVPageUi::SetOpenFilesHandler([this](QWidget*, const HVPageUi::SOpenFileRequest& request) {
            m_requests.push_back(request);
            return hvtest::Next(m_files);
        });
        g_HDGlobalData.SetFolderChooser([this](const QString&) { return hvtest::Next(m_folders); });
        g_HDGlobalData.SetUrlOpener([this](const QString& strAddress) {
            m_urls.push_back(strAddress);
            return true;
        });
    }
    ~CPageAnswers()
    {
        CGuiMessageBox::SetHook({});
        HVPageUi::SetOpenFilesHandler({});
        HVPageUi::SetMenuHandler({});
        g_HDGlobalData.SetFolderChooser({});
        g_HDGlobalData.SetUrlOpener({});
    }

    std::vector<unsigned> m_messages;
    std::vector<unsigned> m_questions;
    std::deque<bool> m_answers;
    std::deque<QStringList> m_files;
    std::deque<QString> m_folders;
    std::vector<HVPageUi::SOpenFileRequest> m_requests;
    std::vector<QString> m_urls;
};

// A manager with its runners and front end, a main window, and the page answers.
struct SPageRig
{
    SPageRig()
        : bPages((HVRegisterTaskPages(), true))
        , host(mngr)
        , dlg(mngr)
    {
        mngr.m_pRunnerHost = &host;
        mngr.m_pUi = &ui;
    }
    bool bPages;  // the task pages are registered before the window is built
    CDataSecurityMngr mngr;
    CWorkHost host;
    CRecordingUi ui;
    CPageAnswers answers;
    CHalvoDataSecurityDlg dlg;
};

// The page tests' fixture: the resource module, a fresh home and rig for every test function,
// pages made on the rig's window, and their controls by number (a missing control ends the test
// program).
class CPageTest : public QObject
{
    Q_OBJECT

protected:
    // A page of class T on the rig's window, made as the main window makes it (at the window's
    // page size when bSized).
    template <typename T>
    std::unique_ptr<T> Make(bool bSized = false)
    {
        auto pPage = std::make_unique<T>(m_rig->dlg, m_rig->mngr);
        pPage->setParent(&m_rig->dlg);
        if (bSized) {
            pPage->resize(760, 545);
        }
        if (!pPage->CreatePage()) {
            QTest::qFail("the page was not created", __FILE__, __LINE__);
        }
        return pPage;
    }
    template <typename T = QWidget>
    static T* W(QWidget* pPage, int nId)
    {
        T* p = hvtest::Control<T>(pPage, nId);
        if (p == nullptr) {
            qFatal("no control %d", nId);
        }
        return p;
    }
    static bool Enabled(QWidget* pPage, int nId) { return W<QAbstractButton>(pPage, nId)->isEnabled(); }
    // The texts of a list's column, row by row.
    static QStringList Column(CXListCtrl* pList, int nColumn = 0)
    {
        QStringList lst;
        for (int i = 0; i < pList->GetItemCount(); ++i) {
            lst << pList->GetItemText(i, nColumn);
        }
        return lst;
    }
    // The real hiding engine of the home, switched on, as the manager's.
    static bool UseHidingEngine(CDataSecurityMngr& mngr, const std::shared_ptr<CHidingEngine>& pEngine)
    {
        mngr.m_pHideControl = pEngine;
        return pEngine->SetCurrentHidingEngine(IHidingEngine::kEngineId)
               && (pEngine->IsHidingEnabled() || pEngine->EnableHiding());
    }
    static void Click(QWidget* pPage, int nId) { W<QAbstractButton>(pPage, nId)->click(); }

    std::unique_ptr<CTempHome> m_home;
    std::unique_ptr<SPageRig> m_rig;

protected slots:
    void initTestCase() { QVERIFY(LoadResources()); }
    void init()
    {
        m_home = std::make_unique<CTempHome>();
        m_rig = std::make_unique<SPageRig>();
    }
    void cleanup()
    {
        m_rig.reset();
        m_home.reset();
    }
};

}  // namespace PagesTest
