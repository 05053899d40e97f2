// hvext-launch <offset> <file or file:// URI>...
//
// Called by the static file-manager menus: classifies the selection exactly as the context-menu
// handler does and starts the program for the entry, but only when the handler's menu for this
// selection holds that entry. Exit codes: 0 started, 1 wrong use, 2 entry not offered for this
// selection (or the menu is switched off), 3 the program could not be started.
#include "shellext/CHVShlExt.h"
#include "shellext/HVExtPaths.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: hvext-launch <offset> <file>...\n");
        return 1;
    }
    char* pEnd = nullptr;
    const long nOffset = std::strtol(argv[1], &pEnd, 10);
    if (*argv[1] == '\0' || *pEnd != '\0' || nOffset < CHVShlExt::OffEncrypt || nOffset > CHVShlExt::OffEncryptMail) {
        std::fprintf(stderr, "hvext-launch: no such entry: %s\n", argv[1]);
        return 1;
    }
    std::vector<std::string> paths;
    for (int i = 2; i < argc; ++i) {
        const std::string strPath = HVExtPaths::LocalPathFromArgument(argv[i]);
        if (strPath.empty()) {
            std::fprintf(stderr, "hvext-launch: not a local file: %s\n", argv[i]);
            return 2;
        }
        paths.push_back(strPath);
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
