#include "shellext/CHVExtSettings.h"

#include "shellext/CHVExtIni.h"
#include "shellext/HVExtPaths.h"

CHVExtSettings CHVExtSettings::Load()
{
    return LoadFile(SettingsFile());
}

CHVExtSettings CHVExtSettings::LoadFile(const std::string& strFile)
{
    CHVExtSettings settings;
    CHVExtIni ini;
    if (strFile.empty() || !ini.Load(strFile, "Main")) {
        return settings;
    }
    settings.m_nShlPasswordType = ini.GetInt("ShlPasswordType").value_or(0);
    settings.m_nShlEnableWipe = ini.GetInt("ShlEnableWipe").value_or(0);
    settings.m_nDisableHide = ini.GetInt("DisableHide").value_or(0);
    settings.m_nShlEnableShell = ini.GetInt("ShlEnableShell").value_or(0);
    std::string strPath = ini.GetString("Module EXE Path").value_or(std::string());
    // An over-long path is not cut to another file's name: it is not taken at all.
    settings.m_strModuleEXEPath = strPath.size() <= kMaxPath ? strPath : std::string();
    return settings;
}

std::string CHVExtSettings::SettingsFile()
{
    const std::string strBase = HVExtPaths::ConfigHome();
    return strBase.empty() ? std::string() : strBase + "/Halvo-Soft/HalvoNorvane.conf";
}
