#include "settings/CHVShellMenus.h"

#include "settings/CHVFileAssociation.h"
#include "settings/CMRegistryData.h"
#include "shellext/CHVExtRegistrar.h"

namespace {

bool Report(HVRESULT hr, const char* pszWhat, QString* pstrError)
{
    if (HV_SUCCEEDED(hr)) {
        return true;
    }
    if (pstrError != nullptr) {
        *pstrError = QStringLiteral("The file manager menus could not be %1 in %2%3.")
                         .arg(QLatin1StringView(pszWhat),
                              QString::fromStdString(CHVExtRegistrar::DefaultPlaces({}).strDataHome),
                              hr == HV_E_ACCESSDENIED ? QStringLiteral(" (access denied)") : QString());
    }
    return false;
}

}  // namespace

bool CHVShellMenus::Sync(const CMRegistryData& settings, QString* pstrError)
{
    if (settings.m_nShlEnableShell == 0) {
        return Remove(pstrError);
    }
    if (settings.m_strModulePath.isEmpty()) {
        return Report(HV_E_FAIL, "written", pstrError);
    }
    CHVExtSettings ext;
    ext.m_nShlPasswordType = settings.m_nShlPasswordType;
    ext.m_nShlEnableWipe = settings.m_nShlEnableWipe;
    ext.m_nDisableHide = settings.m_nDisableHide;
    ext.m_nShlEnableShell = settings.m_nShlEnableShell;
    ext.m_strModuleEXEPath = settings.m_strModuleEXEPath.toStdString();
    const auto places = CHVExtRegistrar::DefaultPlaces(settings.m_strModulePath.toStdString());
    return Report(CHVExtRegistrar::Register(places, ext), "written", pstrError);
}

bool CHVShellMenus::Remove(QString* pstrError)
{
    return Report(CHVExtRegistrar::Unregister(CHVExtRegistrar::DefaultPlaces({})), "removed", pstrError);
}

bool CHVShellMenus::RemoveUserRegistrations(QString* pstrError)
{
    const bool bMenus = Remove(pstrError);
    CHVFileAssociation association{QString()};
    if (!association.Restore()) {
        if (pstrError != nullptr) {
            *pstrError += (pstrError->isEmpty() ? QString() : QStringLiteral("\n"))
                          + QStringLiteral("The .hvnc file association could not be removed.");
        }
        return false;
    }
    return bMenus;
}
