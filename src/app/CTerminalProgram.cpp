#include "app/CTerminalProgram.h"

#include "app/CHalvoDataSecurityApp.h"
#include "app/CTerminalFrontEnd.h"
#include "app/CTerminalOptions.h"
#include "app/CTerminalRunnerHost.h"

#include <csignal>
#include <cstdio>

namespace {

extern "C" void OnInterrupt(int)
{
    CTerminalRunnerHost::RequestStop();
}

// The first Ctrl+C (or SIGTERM) stops the run after the file in hand; a second one ends the
// process the default way.
void InstallInterruptHandler()
{
    struct sigaction action
    {
    };
    action.sa_handler = &OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    (void)sigaction(SIGINT, &action, nullptr);
    (void)sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int CTerminalProgram::Main(const QStringList& lstArgs)
{
    STerminalOptions options;
    if (!STerminalOptions::Parse(lstArgs, options)) {
        std::fprintf(
            stderr, "hnv: %s\n%s", options.strError.toUtf8().constData(), "Try 'hnv --help' for more information.\n");
        return CTerminalFrontEnd::StatusInvalidCommand;
    }
    if (options.bHelp) {
        std::fputs(STerminalOptions::Usage().toUtf8().constData(), stdout);
        return CTerminalFrontEnd::StatusOk;
    }
    if (options.bPasswordOnCommandLine) {
        std::fputs("hnv: warning: a password given with -pw can be read by other users in the process list; "
                   "use --password-file\n",
                   stderr);
    }
    InstallInterruptHandler();

    CTerminalFrontEnd frontEnd(options);
    CHalvoDataSecurityApp app(frontEnd);
    app.SetArguments(options.lstTask);
    (void)app.Run();
    const int nStatus = frontEnd.ExitStatus(app);
    if (app.m_eEnd == CHalvoDataSecurityApp::EEnd::NoMainWindow && options.lstTask.isEmpty()) {
        std::fputs("Try 'hnv --help' for the tasks this program runs.\n", stderr);
    }
    if (options.bJson) {
        const QByteArray json = frontEnd.JsonSummary(app);
        std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    return nStatus;
}
