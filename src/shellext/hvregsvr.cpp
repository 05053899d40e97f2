// hvregsvr [/u] [/s] <library>
//
// Loads the extension library by its path and calls its registration export
// (DllRegisterServer, or DllUnregisterServer with /u). /s: silent, no messages. Options may be
// written with "/" or "-" and in either case; "--" ends them. Exit codes: 0 success, 1 wrong
// use, 3 the library could not be loaded, 4 it has no such export, 5 the export failed.
#include "shellext/HVExt.h"

#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <string>

namespace {

bool IsOption(const char* psz, char ch)
{
    return (psz[0] == '/' || psz[0] == '-') && (psz[1] == ch || psz[1] == ch - 'a' + 'A') && psz[2] == '\0';
}

}  // namespace

int main(int argc, char** argv)
{
    bool bUnregister = false;
    bool bSilent = false;
    bool bOptions = true;
    std::string strLibrary;
    for (int i = 1; i < argc; ++i) {
        const char* psz = argv[i];
        if (bOptions && std::strcmp(psz, "--") == 0) {
            bOptions = false;
        } else if (bOptions && IsOption(psz, 'u')) {
            bUnregister = true;
        } else if (bOptions && IsOption(psz, 's')) {
            bSilent = true;
        } else if (strLibrary.empty()) {
            strLibrary = psz;
        } else {
            strLibrary.clear();
            break;
        }
    }
    if (strLibrary.empty()) {
        if (!bSilent) {
            std::fprintf(stderr, "usage: hvregsvr [/u] [/s] <library>\n");
        }
        return 1;
    }
    void* pLibrary = ::dlopen(strLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (pLibrary == nullptr) {
        if (!bSilent) {
            std::fprintf(stderr, "The module \"%s\" failed to load: %s\n", strLibrary.c_str(), ::dlerror());
        }
        return 3;
    }
    const char* pszEntry = bUnregister ? "DllUnregisterServer" : "DllRegisterServer";
    using FnEntry = HVRESULT (*)();
    auto fnEntry = reinterpret_cast<FnEntry>(::dlsym(pLibrary, pszEntry));
    if (fnEntry == nullptr) {
        if (!bSilent) {
            std::fprintf(stderr, "The entry point %s was not found in \"%s\".\n", pszEntry, strLibrary.c_str());
        }
        ::dlclose(pLibrary);
        return 4;
    }
    const HVRESULT hr = fnEntry();
    ::dlclose(pLibrary);
    if (!HV_SUCCEEDED(hr)) {
        if (!bSilent) {
            std::fprintf(stderr,
                         "%s in \"%s\" failed with the error code 0x%08x%s.\n",
                         pszEntry,
                         strLibrary.c_str(),
                         static_cast<unsigned>(hr),
                         hr == HV_E_ACCESSDENIED ? " (access denied)" : "");
        }
        return 5;
    }
    if (!bSilent) {
        std::printf("%s in \"%s\" succeeded.\n", pszEntry, strLibrary.c_str());
    }
    return 0;
}
