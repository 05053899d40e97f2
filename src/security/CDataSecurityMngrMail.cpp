// Handing files to the desktop's mail program.
#include "globalfuncs/HVPathText.h"
#include "logging/CHVLog.h"
#include "security/CDataSecurityMngr.h"

#include <QByteArray>
#include <QStandardPaths>

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

bool CDataSecurityMngr::SendFilesByMail(QObject* /*pOwner*/,
                                        const QStringList& lstFiles,
                                        const QString& strSubject,
                                        const QString& strBody)
{
    if (lstFiles.isEmpty()) {
        return false;
    }
    const QString strProgram = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (strProgram.isEmpty()) {
        LOGGER::g_HVLog.Log("Mail: xdg-email not found");
        return false;
    }

    // The argument vector, each value one argument: no shell ever sees a path. There are no
    // recipients, so the mail program opens its compose window with the files attached.
    std::vector<QByteArray> args;
    args.push_back(HVGlobalMFC::HVPathToBytes(strProgram));
    if (!strSubject.isEmpty() || !strBody.isEmpty()) {
        args.emplace_back("--utf8");
    }
    if (!strSubject.isEmpty()) {
        args.emplace_back("--subject");
        args.push_back(strSubject.toUtf8());
    }
    if (!strBody.isEmpty()) {
        args.emplace_back("--body");
        args.push_back(strBody.toUtf8());
    }
    for (const QString& strFile : lstFiles) {
        args.emplace_back("--attach");
        args.push_back(HVGlobalMFC::HVPathToBytes(strFile));
    }
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (QByteArray& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        LOGGER::g_HVLog.Log("Mail: xdg-email could not be started");
        return false;
    }
    // Like the mail dialog it replaces, the call returns when the mail program has taken the
    // message over.
    int nStatus = 0;
    pid_t nWaited = 0;
    do {
        nWaited = ::waitpid(pid, &nStatus, 0);
    } while (nWaited < 0 && errno == EINTR);
    if (nWaited != pid || !WIFEXITED(nStatus)) {
        LOGGER::g_HVLog.Log("Mail: xdg-email did not end normally");
        return false;
    }
    const int nExit = WEXITSTATUS(nStatus);
    if (nExit != 0) {
        LOGGER::g_HVLog.Log("Mail: xdg-email failed with %d", nExit);
        return false;
    }
    return true;
}
