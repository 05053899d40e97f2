// The program's own folders in the protected paths, the same for every tool that touches files.
#include "globalfuncs/HVPathText.h"
#include "globalfuncs/HVShellFunctions.h"
#include "hiding/CHidingEngine.h"
#include "security/CProtectedPaths.h"
#include "settings/CHDGlobalData.h"
#include "settings/CMRegistryData.h"
#include "settings/CRegistry.h"

#include <QFileInfo>

#include <unistd.h>

void CProtectedPaths::AddProgramFolders(const QString& strProgramFolder, const QStringList& lstDataFolders)
{
    // Moving or destroying any of these leaves the program unable to start, to read its
    // master password or settings, or to bring hidden items back.
    AddGuarded(strProgramFolder, false);
    for (const QString& strFolder : lstDataFolders) {
        AddGuarded(strFolder, true);
    }
    AddGuarded(HVGlobalMFC::HVPathFromBytes(CHidingEngine::DefaultBaseDir()), true);
    // The vault the hiding engine keeps at the top of every other filesystem.
    SetMountVaultName(QStringLiteral(".hvvault-%1").arg(::geteuid()));
    const CRegistry::CLocation settings =
        CRegistry::Locate(HVRegRoot::CurrentUser, QString::fromLatin1(CMRegistryData::kSettingsKey));
    if (settings.bValid) {
        AddGuarded(QFileInfo(settings.strFile).path(), true);
    }
}

bool CProtectedPaths::AddProgramFoldersFromConfig()
{
    // Where the program lives and what its configuration calls its data folders; read only,
    // nothing is created.
    CHDGlobalData& data = g_HDGlobalData;
    (void)data.m_RegData.LoadAppPaths();
    const bool bConfig = data.LoadAppConfigFile() == 1 && !data.DataCompanyName.isEmpty();
    const QString strDataHome = HVGlobalMFC::HV_GetSpecialFolder(HVGlobalMFC::HV_CSIDL_COMMON_APPDATA);
    QStringList lstData;
    if (bConfig) {
        lstData << CHDGlobalData::DataFolderName(
            HVGlobalMFC::HV_CSIDL_COMMON_APPDATA, data.DataCompanyName, data.DataProductName, QString());
        lstData << CHDGlobalData::DataFolderName(
            HVGlobalMFC::HV_CSIDL_APPDATA, data.DataCompanyName, data.DataProductName, QString());
    } else {
        // Without the configuration the data folders are somewhere in the data home.
        lstData << strDataHome;
    }
    lstData.removeAll(QString());
    AddProgramFolders(data.m_RegData.m_strModulePath, lstData);
    return bConfig;
}
