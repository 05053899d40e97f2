// Start-up of the application object: preparation, command line, master password.
#include "app/CHalvoDataSecurityApp.h"

#include "app/HVPrivateFolders.h"
#include "app/IAppFrontEnd.h"
#include "engines/CHvncSelfTest.h"
#include "globalfuncs/HVLogHook.h"
#include "globalfuncs/HVShellFunctions.h"
#include "hiding/IHidingEngine.h"
#include "logging/CHVLog.h"
#include "passwords/CMasterPasswordStartup.h"
#include "passwords/CMasterPasswordStore.h"
#include "resources/CResourceModule.h"
#include "security/IDataSecurityUi.h"
#include "settings/CHDGlobalData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

void ForwardLibraryLog(const QString& message, int severity, const char* file, int line)
{
    LOGGER::g_HVLog.WriteLog(message.toUtf8().constData(), severity, file, line);
}

// A data folder of the program (and the folders above it up to the special folder) for the user
// alone, whatever the umask made of them.
void TightenDataFolder(int nSpecialFolder, const QString& strSubFolder)
{
    QStringList lstParts{g_HDGlobalData.DataCompanyName, g_HDGlobalData.DataProductName, strSubFolder};
    lstParts.removeAll(QString());
    (void)HVPrivateFolders::Tighten(HVGlobalMFC::HV_GetSpecialFolder(nSpecialFolder), lstParts);
}

}  // namespace

CHalvoDataSecurityApp::CHalvoDataSecurityApp(IAppFrontEnd& frontEnd)
    : m_frontEnd(frontEnd)
{
}

CHalvoDataSecurityApp::~CHalvoDataSecurityApp()
{
    if (m_pDataSecurityMngr != nullptr) {
        (void)ExitInstance();
    }
}

bool CHalvoDataSecurityApp::End(EEnd eEnd, int nExitCode)
{
    m_eEnd = eEnd;
    m_nExitCode = nExitCode;
    return false;
}

bool CHalvoDataSecurityApp::InitInstance()
{
    m_nExitCode = 0;
    m_eEnd = EEnd::NotStarted;
    // The utility library's failure lines go to the log writer.
    HVGlobalMFC::HVSetLogHandler(&ForwardLibraryLog);
    QCoreApplication::setApplicationName(QString::fromLatin1(kAppName));

    // Ciphers that do not give their known answers would write files nobody can open again:
    // they are tested before anything is decrypted, the configuration included.
    std::string strFailure;
    if (!CHvncSelfTest::Run(strFailure)) {
        // The log is started where the configuration and the settings can still be read (reading
        // them writes nothing); its place comes from the configuration.
        g_HDGlobalData.m_RegData.FirstTimeInit();
        const int nConfig =
            m_steps.fnLoadAppConfigFile ? m_steps.fnLoadAppConfigFile() : g_HDGlobalData.LoadAppConfigFile();
        if (nConfig == 1 && (m_steps.fnLoadSettings ? m_steps.fnLoadSettings() : g_HDGlobalData.m_RegData.Load())) {
            g_HDGlobalData.CreateUserDataFolder(QString::fromLatin1(kLogFolder));
            StartLog();
        }
        LOGGER::g_HVLog.Log("Cipher self-test failed");
        m_frontEnd.ShowText(QStringLiteral("Cipher self-test failed: %1. No data was touched; the program ends.")
                                .arg(QString::fromStdString(strFailure)));
        return End(EEnd::InitFailed, 1);
    }
    if (!Prepare()) {
        return false;
    }
    if (!ReadCommandLine()) {
        return false;
    }
    LOGGER::g_HVLog.Log("Start Initialize Manager");
    if (m_pDataSecurityMngr->InitManager() != 1) {
        return End(EEnd::InitFailed);
    }
    TightenDataFolder(HVGlobalMFC::HV_CSIDL_COMMON_APPDATA, QStringLiteral("Data"));
    if (!CheckHiding()) {
        return false;
    }
    if (!AskMasterPassword()) {
        return false;
    }
    RunRequest();
    return false;
}

// Settings, configuration, log, theme, resource module and the manager.
bool CHalvoDataSecurityApp::Prepare()
{
    g_HDGlobalData.m_RegData.FirstTimeInit();

    const int nConfig =
        m_steps.fnLoadAppConfigFile ? m_steps.fnLoadAppConfigFile() : g_HDGlobalData.LoadAppConfigFile();
    if (nConfig != 1) {
        m_frontEnd.ShowText(CResourceModule::Instance().String(kIdsConfigMissing));
        return End(EEnd::ConfigMissing);
    }
    const bool bSettings = m_steps.fnLoadSettings ? m_steps.fnLoadSettings() : g_HDGlobalData.m_RegData.Load();
    if (!bSettings) {
        m_frontEnd.Ui().ShowMessage(kIdsSettingsNotLoaded);
        return End(EEnd::SettingsNotLoaded);
    }
    g_HDGlobalData.CreateUserDataFolder(QString::fromLatin1(kLogFolder));
    TightenDataFolder(HVGlobalMFC::HV_CSIDL_APPDATA, QString::fromLatin1(kLogFolder));
    StartLog();

    m_frontEnd.InitTheme();
    LOGGER::g_HVLog.Log("Initialize Manager Done");
    LOGGER::g_HVLog.Log("Config File Loaded");
    LOGGER::g_HVLog.Log("Global Colors Init and Loaded");

    const bool bResources = m_steps.fnLoadResources
                                ? m_steps.fnLoadResources()
                                : CResourceModule::Instance().Load(g_HDGlobalData.GetResourceFile());
    if (!bResources) {
        LOGGER::g_HVLog.Log("Error : loaded Resource");
        m_frontEnd.ShowText(CResourceModule::Instance().String(kIdsResourceMissing));
        return End(EEnd::ResourceMissing);
    }
    m_bResourceLoaded = true;
    LOGGER::g_HVLog.Log("Resource loaded");
    LOGGER::g_HVLog.Log("Start Initialize Manager");

    m_pDataSecurityMngr = new CDataSecurityMngr();
    m_pDataSecurityMngr->m_pRunnerHost = &m_frontEnd.RunnerHost();
    m_pDataSecurityMngr->m_pUi = &m_frontEnd.Ui();
    m_frontEnd.ManagerCreated(*m_pDataSecurityMngr);
    return true;
}

// The log file is "HNV.log" in the data folder "Logs", and only when the setting asks for it.
void CHalvoDataSecurityApp::StartLog()
{
    const QString& strFolder = g_HDGlobalData.m_strUserDataFolder;
    if (g_HDGlobalData.m_RegData.m_nEnableAdvLog == 0 || strFolder.isEmpty()) {
        return;
    }
    QString strFile = strFolder;
    if (!strFile.endsWith(u'/')) {
        strFile += u'/';
    }
    strFile += QString::fromLatin1(kLogFileName);
    LOGGER::g_HVLog.SetFileName(strFile);
    (void)LOGGER::g_HVLog.StartLogging();
}

bool CHalvoDataSecurityApp::ReadCommandLine()
{
    if (m_lstArgs.isEmpty()) {
        return true;
    }
    LOGGER::g_HVLog.WriteLog("Secure through command line", 0, __FILE__, __LINE__);
    LOGGER::g_HVLog.Log("Cmd :%s", MaskedCommandLine(m_lstArgs).toUtf8().constData());
    // The arguments arrive split: each one is a token as it stands.
    m_pDataSecurityMngr->m_lstCmdArgs = m_lstArgs;
    const int nParsed = m_pDataSecurityMngr->ParseCommandLine();
    m_eCmdLineCheck = m_pDataSecurityMngr->m_eCmdLineCheck;
    if (nParsed == 0) {
        m_frontEnd.ShowText(QString::fromLatin1(kInvalidCommand));
        return End(EEnd::InvalidCommand);
    }
    LOGGER::g_HVLog.Log("Parsing the cmd Done");
    m_bCmdLineRun = true;
    m_nCmdMode = m_pDataSecurityMngr->m_iCmdMode;
    return true;
}

bool CHalvoDataSecurityApp::AskMasterPassword()
{
    SMasterPasswordRequest request;
    request.bCmdLineRun = m_bCmdLineRun;
    request.nCmdMode = m_nCmdMode;
    request.nShlAskMaster = g_HDGlobalData.m_RegData.m_nShlAskMaster;
    request.strConfigFile = m_pDataSecurityMngr->m_strConfigFile;
    if (m_pDataSecurityMngr->m_pHideControl && !QFileInfo::exists(request.strConfigFile)) {
        for (const std::string& strItem : m_pDataSecurityMngr->m_pHideControl->UnlistedItems()) {
            request.lstUnlistedHidden.append(QString::fromStdString(strItem));
        }
    }

    CSecureBuffer master;
    const SMasterPasswordResult result = CMasterPasswordStartup::Run(request, m_frontEnd.Ui(), master);
    if (!result.bContinue) {
        master.clear();
        if (result.eOutcome == EMasterPasswordOutcome::MayBeHidden) {
            return End(EEnd::HidingUnreadable, kExitHidingUnreadable);
        }
        return End(result.eOutcome == EMasterPasswordOutcome::SetCancelled ? EEnd::MasterPasswordNotSet
                                                                           : EEnd::MasterPasswordRefused,
                   result.nExitCode);
    }
    if (result.eOutcome == EMasterPasswordOutcome::NotNeeded && m_nCmdMode == CDataSecurityMngr::CmdModeDecrypt
        && QFileInfo::exists(request.strConfigFile) && m_frontEnd.Ui().GivenMasterPassword(master)) {
        // Taken for the decryption's retry only when it is the master password.
        CMasterPasswordStore store(request.strConfigFile);
        if (!store.VerifyMasterPassword(master.Utf16Units())) {
            LOGGER::g_HVLog.Log("The given master password does not match");
            m_frontEnd.Ui().ShowMessage(CMasterPasswordStartup::kIdsWrongPassword);
            master.clear();
        }
    }
    if (!master.empty()) {
        m_pDataSecurityMngr->m_strMasterPassword = std::move(master);
    }
    master.clear();
    return true;
}

QString CHalvoDataSecurityApp::MaskedCommandLine(const QStringList& lstArgs)
{
    QStringList lstParts;
    bool bMaskNext = false;
    for (const QString& strArg : lstArgs) {
        const bool bOption = strArg.startsWith(u'-');
        if (bMaskNext && !bOption) {
            lstParts.append(QStringLiteral("********"));
            bMaskNext = false;
            continue;
        }
        bMaskNext = bOption && strArg.compare(QStringLiteral("-pw"), Qt::CaseInsensitive) == 0;
        lstParts.append(strArg.contains(u' ') ? u'"' + strArg + u'"' : strArg);
    }
    return lstParts.join(u' ');
}
