#pragma once

// The exported interface of the HVExt library: registration of the file-manager menus and a
// plain C handle on the context-menu handler. Every result is one of the HV_* codes below.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t HVRESULT;

#define HV_S_OK ((HVRESULT)0)
#define HV_S_FALSE ((HVRESULT)1)
#define HV_E_FAIL ((HVRESULT)0x80004005u)
#define HV_E_ACCESSDENIED ((HVRESULT)0x80070005u)
#define HV_E_INVALIDARG ((HVRESULT)0x80070057u)

#define HV_SUCCEEDED(hr) ((HVRESULT)(hr) >= 0)

// Writes the current user's menus of Dolphin and Nemo for the current settings, in the user's
// own data folder (HV_E_ACCESSDENIED when it refuses them). The GNOME Files module is the
// package's and is not touched. Running it again changes nothing.
HVRESULT DllRegisterServer(void);
// Removes the current user's menus. Running it again changes nothing.
HVRESULT DllUnregisterServer(void);
// HV_S_OK when no handler object is alive, else HV_S_FALSE.
HVRESULT DllCanUnloadNow(void);

// A handler object for one request.
typedef struct HVShlExtHandle HVShlExtHandle;

HVShlExtHandle* HVShlExtCreate(void);
void HVShlExtRelease(HVShlExtHandle* pHandler);
// Reads the settings afresh and classifies the selection (nCount paths, UTF-8).
HVRESULT HVShlExtInitialize(HVShlExtHandle* pHandler, const char* const* ppszPaths, int nCount);
// Number of submenu entries (separators included); 0 when the menu is switched off or empty.
int HVShlExtGetEntryCount(const HVShlExtHandle* pHandler);
// Entry nIndex: its command offset (0 for a separator) and its text (valid while the handler
// lives and is not initialised again).
int HVShlExtGetEntry(const HVShlExtHandle* pHandler, int nIndex, const char** ppszText);
// Starts the program for the entry with this command offset.
HVRESULT HVShlExtInvokeCommand(HVShlExtHandle* pHandler, int nOffset);

#ifdef __cplusplus
}
#endif
