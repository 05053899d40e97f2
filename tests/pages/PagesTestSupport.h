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

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <deque>
#include <memory>
#include <vector>

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
        if (m_strAnswer.isEmpty()) {
            return false;
        }
        utf16 = CSecureBuffer::FromBytes(m_strAnswer.utf16(), static_cast<std::size_t>(m_strAnswer.size()) * 2);
        return true;
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
        (void)m_work.Run();
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
        (void)m_work.Run();
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
            bool bYes = true;
            if (!m_answers.empty()) {
                bYes = m_answers.front();
                m_answers.pop_front();
            }
            return bYes ? QMessageBox::Yes : QMessageBox::No;
        });
        HVPageUi::SetOpenFilesHandler([this](QWidget*, const HVPageUi::SOpenFileRequest& request) {
            m_requests.push_back(request);
            if (m_files.empty()) {
                return QStringList();
            }
            QStringList lst = m_files.front();
            m_files.pop_front();
            return lst;
        });
        g_HDGlobalData.SetFolderChooser([this](const QString&) {
            if (m_folders.empty()) {
                return QString();
            }
            QString s = m_folders.front();
            m_folders.pop_front();
            return s;
        });
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

}  // namespace PagesTest
