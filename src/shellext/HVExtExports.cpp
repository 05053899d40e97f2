// The exported functions of the HVExt library.
#include "shellext/CHVExtRegistrar.h"
#include "shellext/CHVShlExt.h"
#include "shellext/HVExt.h"

#include <atomic>
#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <new>

#define HV_EXPORT __attribute__((visibility("default")))

struct HVShlExtHandle
{
    CHVShlExt handler;
    std::vector<SHVMenuEntry> menu;
};

namespace {

std::atomic<int> g_nObjects{0};

// The folder this library was loaded from.
std::string LibraryFolder()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&DllRegisterServer), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    char szReal[PATH_MAX];
    if (::realpath(info.dli_fname, szReal) == nullptr) {
        return {};
    }
    std::string strPath = szReal;
    return strPath.substr(0, strPath.rfind('/'));
}

}  // namespace

extern "C" {

HV_EXPORT HVRESULT DllRegisterServer(void)
{
    const std::string strFolder = LibraryFolder();
    if (strFolder.empty()) {
        return HV_E_FAIL;
    }
    return CHVExtRegistrar::Register(CHVExtRegistrar::DefaultPlaces(strFolder), CHVExtSettings::Load());
}

HV_EXPORT HVRESULT DllUnregisterServer(void)
{
    const std::string strFolder = LibraryFolder();
    if (strFolder.empty()) {
        return HV_E_FAIL;
    }
    return CHVExtRegistrar::Unregister(CHVExtRegistrar::DefaultPlaces(strFolder));
}

HV_EXPORT HVRESULT DllCanUnloadNow(void)
{
    return g_nObjects.load() == 0 ? HV_S_OK : HV_S_FALSE;
}

HV_EXPORT HVShlExtHandle* HVShlExtCreate(void)
{
    auto* pHandler = new (std::nothrow) HVShlExtHandle;
    if (pHandler != nullptr) {
        ++g_nObjects;
    }
    return pHandler;
}

HV_EXPORT void HVShlExtRelease(HVShlExtHandle* pHandler)
{
    if (pHandler != nullptr) {
        delete pHandler;
        --g_nObjects;
    }
}

HV_EXPORT HVRESULT HVShlExtInitialize(HVShlExtHandle* pHandler, const char* const* ppszPaths, int nCount)
{
    if (pHandler == nullptr || nCount < 0 || (nCount > 0 && ppszPaths == nullptr)) {
        return HV_E_INVALIDARG;
    }
    std::vector<std::string> paths;
    for (int i = 0; i < nCount; ++i) {
        paths.emplace_back(ppszPaths[i] != nullptr ? ppszPaths[i] : "");
    }
    const HVRESULT hr = pHandler->handler.Initialize(paths);
    pHandler->menu = pHandler->handler.BuildMenu();
    return hr;
}

HV_EXPORT int HVShlExtGetEntryCount(const HVShlExtHandle* pHandler)
{
    return pHandler != nullptr ? static_cast<int>(pHandler->menu.size()) : 0;
}

HV_EXPORT int HVShlExtGetEntry(const HVShlExtHandle* pHandler, int nIndex, const char** ppszText)
{
    if (pHandler == nullptr || nIndex < 0 || nIndex >= static_cast<int>(pHandler->menu.size())) {
        return -1;
    }
    const SHVMenuEntry& entry = pHandler->menu[static_cast<std::size_t>(nIndex)];
    if (ppszText != nullptr) {
        *ppszText = entry.strText.c_str();
    }
    return entry.nOffset;
}

HV_EXPORT HVRESULT HVShlExtInvokeCommand(HVShlExtHandle* pHandler, int nOffset)
{
    return pHandler != nullptr ? pHandler->handler.InvokeCommand(nOffset) : HV_E_INVALIDARG;
}

}  // extern "C"
