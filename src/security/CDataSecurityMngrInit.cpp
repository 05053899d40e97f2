// Start-up set-up and shutdown of the data-security manager, and the protected paths.
#include "engines/CEncryptManager.h"
#include "engines/CWipeManager.h"
#include "engines/HVPendingRecords.h"
#include "globalfuncs/HVPathText.h"
#include "globalfuncs/HVShellFunctions.h"
#include "hiding/CHidingEngine.h"
#include "hiding/IHidingEngine.h"
#include "logging/CHVLog.h"
#include "passwords/HVWipeText.h"
#include "security/CDataSecurityMngr.h"
#include "security/CItemData.h"
#include "settings/CHDGlobalData.h"
#include "settings/CHVShellMenus.h"
#include "settings/CMRegistryData.h"
#include "settings/CRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

QString CDataSecurityMngr::ProtectedPathKey(const QString& strPath)
{
    if (strPath.isEmpty()) {
        return {};
    }
    // Only the text is looked at (no link is followed), so that a protected folder written
    // with a trailing slash or a "." component is still the protected folder.
    return QDir::cleanPath(strPath).toUpper();
}

QStringList CDataSecurityMngr::SystemProtectedPaths(const QString& strProgramFolder)
{
    QStringList lst{QStringLiteral("/"),
                    QStringLiteral("/usr"),
                    QStringLiteral("/etc"),
                    QStringLiteral("/bin"),
                    QStringLiteral("/boot"),
                    QStringLiteral("/dev"),
                    QStringLiteral("/proc"),
                    QStringLiteral("/sys"),
                    QStringLiteral("/var"),
                    QStringLiteral("/lib"),
                    QStringLiteral("/opt"),
                    strProgramFolder,
                    HVGlobalMFC::HVGetHomeFolder(),
                    // The desktop without creating it.
                    HVGlobalMFC::HV_GetSpecialFolder(HVGlobalMFC::HV_CSIDL_DESKTOP)};
    lst.removeAll(QString());
    return lst;
}

QString CDataSecurityMngr::ProgramFolder()
{
    const QString& strModulePath = g_HDGlobalData.m_RegData.m_strModulePath;
    if (!strModulePath.isEmpty()) {
        return strModulePath;
    }
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).path();
}

void CDataSecurityMngr::FinishEnginesWork(const QString& strDataFolder)
{
    // The engines keep their records of work under way in the data folder: what a process that
    // was killed left there is finished now (its wipes completed, its temporary outputs removed).
    const std::string strFolder = HVGlobalMFC::HVPathToStd(QDir::cleanPath(strDataFolder));
    try {
        HVPendingRecords::SetDataFolder(strFolder);
        const int nWiped = CWipeManager::FinishPendingWipes(strFolder);
        if (nWiped > 0) {
            LOGGER::g_HVLog.Log("Finished %d interrupted wipe(s)", nWiped);
        }
        const int nRemoved = CEncryptManager::RemoveStaleTemporaries(strFolder);
        if (nRemoved > 0) {
            LOGGER::g_HVLog.Log("Removed %d temporary file(s) of interrupted runs", nRemoved);
        }
    } catch (const std::exception& e) {
        LOGGER::g_HVLog.Log("Error: the interrupted work of an earlier run could not be finished: %s", e.what());
    }
}

int CDataSecurityMngr::InitManager()
{
    LOGGER::g_HVLog.Log("Registry Data Loaded");
    CMRegistryData& settings = g_HDGlobalData.m_RegData;

    m_nPriority = 0;
    m_bEncrypt = settings.m_nEnableEncrypt;
    m_iHidenType = settings.m_nHidenType;

    m_pHideControl.reset();
    m_strHideFailure.clear();
    m_pHideControl = m_fnCreateHideControl ? m_fnCreateHideControl() : std::make_shared<CHidingEngine>();
    if (!m_pHideControl) {
        LOGGER::g_HVLog.Log("Error: In Hide Engine -CreateInstance-");
        m_bHideDisabled = 1;
    } else if (!m_pHideControl->SetCurrentHidingEngine(IHidingEngine::kEngineId)) {
        LOGGER::g_HVLog.Log("Error: In Hide Engine -SetCurrentHidingEngine-");
        m_bHideDisabled = 1;
        // Start-up must not take this for a first start: the list names what is kept hidden.
        m_strHideFailure = QString::fromStdString(m_pHideControl->GetLastError());
        if (m_strHideFailure.isEmpty()) {
            m_strHideFailure = QStringLiteral("the hiding engine could not be set up");
        }
    } else {
        if (!m_pHideControl->IsHidingEnabled()) {
            (void)m_pHideControl->EnableHiding();
            LOGGER::g_HVLog.Log("Enabled hidden");
        }
        LOGGER::g_HVLog.Log("hidden Already Enabled");
    }

    if (settings.m_nAsscExtension != 0 && !settings.AssociateExtension()) {
        LOGGER::g_HVLog.Log("Error: the .hvnc association could not be registered");
    }
    LOGGER::g_HVLog.Log("AsscExtension Done");
    // The user's file-manager menus follow the settings from the first start on.
    if (QString strError; !CHVShellMenus::Sync(settings, &strError)) {
        LOGGER::g_HVLog.Log("Error: %s", qUtf8Printable(strError));
    }

    g_HDGlobalData.CreateCommonDataFolder(QStringLiteral("Data"));
    QString strDataFolder = g_HDGlobalData.m_strCommonDataFolder;
    if (strDataFolder.isEmpty()) {
        // No data folder (no home): the file is not looked for at the filesystem's root.
        LOGGER::g_HVLog.Log("Error: no data folder for the password file");
    } else {
        if (!strDataFolder.endsWith(u'/')) {
            strDataFolder += u'/';
        }
        m_strConfigFile = strDataFolder + QStringLiteral("HNVConfig.xml");
        FinishEnginesWork(g_HDGlobalData.m_strCommonDataFolder);
    }

    m_lstProtectedPaths.clear();
    for (const QString& strPath : SystemProtectedPaths(ProgramFolder())) {
        m_lstProtectedPaths.append(ProtectedPathKey(strPath));
    }
    SetUpProtectedPaths();

    if (m_bHideDisabled == 0) {
        LOGGER::g_HVLog.Log("Unhide Pass Config File");
        (void)m_pHideControl->UnhideItem(HVGlobalMFC::HVPathToStd(m_strConfigFile));
    }
    m_bInitDone = true;
    return 1;
}

void CDataSecurityMngr::SetUpProtectedPaths()
{
    m_protected.Clear();
    for (const QString& strPath : SystemProtectedPaths(ProgramFolder())) {
        m_protected.AddNeverHidden(strPath);
    }
    QStringList lstData{g_HDGlobalData.m_strCommonDataFolder, g_HDGlobalData.m_strUserDataFolder};
    if (const auto* pEngine = dynamic_cast<const CHidingEngine*>(m_pHideControl.get())) {
        lstData << HVGlobalMFC::HVPathFromBytes(pEngine->BaseDir());
    }
    lstData.removeAll(QString());
    m_protected.AddProgramFolders(ProgramFolder(), lstData);
}

bool CDataSecurityMngr::IsProtectedPath(const QString& strPath, CProtectedPaths::EOperation eOperation) const
{
    if (eOperation == CProtectedPaths::EOperation::Hide) {
        for (const QString& strSpelling :
             {strPath, CProtectedPaths::AbsoluteSpelling(strPath), CProtectedPaths::ResolvedSpelling(strPath)}) {
            if (m_lstProtectedPaths.contains(ProtectedPathKey(strSpelling))) {
                return true;
            }
        }
    }
    return m_protected.IsProtected(strPath, eOperation);
}

int CDataSecurityMngr::HidePath(const QString& strPath)
{
    // The comparison is made on the upper-cased text; the engine gets the path as it is, since
    // an upper-cased path names another file here.
    if (IsProtectedPath(strPath, CProtectedPaths::EOperation::Hide)) {
        LOGGER::g_HVLog.Log("Protected path refused: %s", qUtf8Printable(strPath));
        return 0;
    }
    if (!m_pHideControl) {
        return 0;
    }
    return m_pHideControl->HideItemEx(HVGlobalMFC::HVPathToStd(strPath), 1) ? 1 : 0;
}

int CDataSecurityMngr::SaveAndClose()
{
    // Without the set-up (a rejected command line) the options are still the initial values:
    // writing them would replace the user's own.
    if (m_bInitDone) {
        CMRegistryData& settings = g_HDGlobalData.m_RegData;
        settings.m_nPriority = m_nPriority;
        settings.m_nEnableEncrypt = m_bEncrypt;
        settings.m_nPasswordType = m_iPasswordType;
        settings.m_nHidenType = m_iHidenType;
        settings.m_nDisableHide = m_bHideDisabled;
        if (!settings.Save()) {
            LOGGER::g_HVLog.Log("Error: the settings could not be saved");
        }
    }
    m_strMasterPassword.clear();
    m_strPassword.clear();
    LOGGER::g_HVLog.Log("Save the Registry");

    if (m_bHideDisabled == 0 && m_pHideControl) {
        LOGGER::g_HVLog.Log("Hide Pass Config File");
        (void)m_pHideControl->HideItem(HVGlobalMFC::HVPathToStd(m_strConfigFile));
    }
    m_pHideControl.reset();
    m_lstProtectedPaths.clear();
    m_protected.Clear();

    if (m_bCmdLine == 1) {
        m_arrItems.clear();
    }
    return 1;
}
