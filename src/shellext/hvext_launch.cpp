// hvext-launch <offset> <file or file:// URI>...
//
// Called by the static file-manager menus: classifies the selection exactly as the context-menu
// handler does and starts the program for the entry, but only when the handler's menu for this
// selection holds that entry. Exit codes: 0 started, 1 wrong use, 2 entry not offered for this
// selection (or the menu is switched off), 3 the program could not be started.
//
// hvext-launch --offered <offset> <file>... (a file manager's display condition) starts nothing
// and only answers: 0 when the handler offers that entry for the paths given, or when no path
// is given (nothing to judge by), else 1.
#include "shellext/CHVServiceMenus.h"
#include "shellext/CHVShlExt.h"
#include "shellext/HVExtPaths.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The selection's local paths from argv[nFirst] on; false at the first that is not local.
bool LocalPaths(int argc, char** argv, int nFirst, std::vector<std::string>& paths)
{
    for (int i = nFirst; i < argc; ++i) {
        const std::string strPath = HVExtPaths::LocalPathFromArgument(argv[i]);
        if (strPath.empty()) {
            std::fprintf(stderr, "hvext-launch: not a local file: %s\n", argv[i]);
            return false;
        }
        paths.push_back(strPath);
    }
    return true;
}

// The entry offset in pszText; 0 when it names none.
long Offset(const char* pszText)
{
    char* pEnd = nullptr;
    const long nOffset = std::strtol(pszText, &pEnd, 10);
    if (*pszText == '\0' || *pEnd != '\0' || nOffset < CHVShlExt::OffEncrypt || nOffset > CHVShlExt::OffEncryptMail) {
        std::fprintf(stderr, "hvext-launch: no such entry: %s\n", pszText);
        return 0;
    }
    return nOffset;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], CHVServiceMenus::kOfferOption) == 0) {
        const long nCheck = Offset(argv[2]);
        std::vector<std::string> paths;
        if (nCheck == 0 || !LocalPaths(argc, argv, 3, paths)) {
            return 1;
        }
        CHVShlExt handler;
        return paths.empty() || (HV_SUCCEEDED(handler.Initialize(paths)) && handler.IsOffered(static_cast<int>(nCheck)))
                   ? 0
                   : 1;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: hvext-launch <offset> <file>...\n");
        return 1;
    }
    const long nOffset = Offset(argv[1]);
    if (nOffset == 0) {
        return 1;
    }
    std::vector<std::string> paths;
    if (!LocalPaths(argc, argv, 2, paths)) {
        return 2;
    }
    CHVShlExt handler;
    if (!HV_SUCCEEDED(handler.Initialize(paths))) {
        return 1;
    }
    if (!handler.IsOffered(static_cast<int>(nOffset))) {
        std::fprintf(stderr, "hvext-launch: entry %ld is not offered for this selection\n", nOffset);
        return 2;
    }
    return HV_SUCCEEDED(handler.InvokeCommand(static_cast<int>(nOffset))) ? 0 : 3;
}
