// HalvoNorvane: the graphical program. Without a display, or with "--terminal", it is the terminal
// program (the same command language, every dialog answered in the terminal).
#include "app/CGuiAppFrontEnd.h"
#include "app/CHalvoDataSecurityApp.h"
#include "app/CTerminalProgram.h"
#include "engines/HVNoCoreDump.h"
#include "globalfuncs/HVPathText.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

bool HasArgument(int argc, char** argv, const char* pszName)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], pszName) == 0) {
            return true;
        }
    }
    return false;
}

bool HasDisplay()
{
    const auto isSet = [](const char* pszName) {
        const char* pszValue = std::getenv(pszName);
        return pszValue != nullptr && *pszValue != '\0';
    };
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

// Overwrites the value of every "-pw" in the process's own argument memory, so that the process
// list shows it no longer.
void ScrubPasswordArguments(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (::strcasecmp(argv[i], "-pw") == 0 && argv[i + 1][0] != '-') {
            std::memset(argv[i + 1], '*', std::strlen(argv[i + 1]));
        }
    }
}

// The desktop's "open" and "open with" hand over bare file paths (the desktop entry's %F): those
// are files to decrypt, each given by its full path. Any option leaves the arguments as they are.
QStringList OpenedFilesRequest(const QStringList& lstArgs)
{
    if (lstArgs.isEmpty()) {
        return lstArgs;
    }
    QStringList lstRequest{QStringLiteral("-d")};
    for (const QString& strArg : lstArgs) {
        if (strArg.isEmpty() || strArg.startsWith(u'-')) {
            return lstArgs;
        }
        lstRequest << QStringLiteral("-fp") << HVGlobalMFC::HVAbsolutePath(strArg);
    }
    return lstRequest;
}

}  // namespace

int main(int argc, char** argv)
{
    HVNoCoreDump();  // before any secret is read
    if (HasArgument(argc, argv, "--terminal") || !HasDisplay()) {
        QCoreApplication application(argc, argv);
        // Arguments byte for byte: a name that is not UTF-8 keeps its bytes.
        QStringList lstArgs = HVGlobalMFC::HVArgumentsFromArgv(argc, argv);
        lstArgs.removeAll(QStringLiteral("--terminal"));
        ScrubPasswordArguments(argc, argv);
        return CTerminalProgram::Main(lstArgs);
    }
    QApplication application(argc, argv);
    // After the toolkit took its own options out of argv.
    const QStringList lstArgs = OpenedFilesRequest(HVGlobalMFC::HVArgumentsFromArgv(argc, argv));
    ScrubPasswordArguments(argc, argv);
    CGuiAppFrontEnd frontEnd;
    CHalvoDataSecurityApp app(frontEnd);
    app.SetArguments(lstArgs);
    return app.Run();
}
