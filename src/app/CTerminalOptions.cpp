#include "app/CTerminalOptions.h"

bool STerminalOptions::Parse(const QStringList& lstArgs, STerminalOptions& out)
{
    out = STerminalOptions();
    for (qsizetype i = 0; i < lstArgs.size(); ++i) {
        const QString& strArg = lstArgs.at(i);
        if (!strArg.startsWith(QStringLiteral("--"))) {
            if (strArg.compare(QStringLiteral("-pw"), Qt::CaseInsensitive) == 0) {
                out.bPasswordOnCommandLine = true;
            }
            out.lstTask.append(strArg);
            continue;
        }
        auto takeFile = [&](QString& strTarget) {
            if (i + 1 >= lstArgs.size() || lstArgs.at(i + 1).isEmpty()) {
                out.strError = strArg + QStringLiteral(" needs a file name");
                return false;
            }
            strTarget = lstArgs.at(++i);
            return true;
        };
        if (strArg == QStringLiteral("--password-file")) {
            if (!takeFile(out.strPasswordFile)) {
                return false;
            }
        } else if (strArg == QStringLiteral("--master-password-file")) {
            if (!takeFile(out.strMasterPasswordFile)) {
                return false;
            }
        } else if (strArg == QStringLiteral("--yes") || strArg == QStringLiteral("--no")) {
            const int nAnswer = strArg == QStringLiteral("--yes") ? 1 : 0;
            if (out.nAnswer >= 0 && out.nAnswer != nAnswer) {
                out.strError = QStringLiteral("--yes and --no exclude each other");
                return false;
            }
            out.nAnswer = nAnswer;
        } else if (strArg == QStringLiteral("--json")) {
            out.bJson = true;
        } else if (strArg == QStringLiteral("--quiet")) {
            out.bQuiet = true;
        } else if (strArg == QStringLiteral("--help")) {
            out.bHelp = true;
        } else if (strArg == QStringLiteral("--terminal")) {
            out.bTerminal = true;
        } else {
            out.strError = QStringLiteral("unknown option ") + strArg;
            return false;
        }
    }
    if (out.strPasswordFile == QStringLiteral("-") && out.strMasterPasswordFile == QStringLiteral("-")) {
        out.strError = QStringLiteral("only one password file can be standard input");
        return false;
    }
    return true;
}

QString STerminalOptions::Usage()
{
    return QStringLiteral("Usage: hnv [OPTIONS] [TASK]\n"
                          "\n"
                          "Tasks (the program's command language):\n"
                          "  -e [-h | -w] [-pt master|new] [-pw PASSWORD] -p FOLDER -f NAME [-f NAME ...] [-em]\n"
                          "                     encrypt (and hide or wipe the sources); -em mails the results\n"
                          "  -h | -w -p FOLDER -f NAME ...   hide, or wipe, without encrypting\n"
                          "  -d -fp FILE.hvnc | -d -p FOLDER -f NAME.hvnc ...   decrypt\n"
                          "  -ui                clean-up before uninstalling (hiding off, master password removed)\n"
                          "  -rh, -s ...        open the main window (not available in the terminal program)\n"
                          "\n"
                          "Options:\n"
                          "  --password-file FILE         the password for -pt new and for encrypted files\n"
                          "  --master-password-file FILE  the master password (set on the first start)\n"
                          "                               FILE '-' reads standard input; one line, no newline kept\n"
                          "  --yes | --no                 answer every yes/no question (attributes: apply to all)\n"
                          "  --json                       the summary as JSON on standard output\n"
                          "  --quiet                      no progress line and no summary text\n"
                          "  --terminal                   accepted (the graphical program's switch to this mode)\n"
                          "  --help                       this text\n"
                          "\n"
                          "Exit status: 0 done, 1 some items failed, 2 invalid command, 3 nothing to do,\n"
                          "4 cancelled, 5 start-up failed or another run of this user in progress,\n"
                          "6 a password could not be read,\n"
                          "184 master password not given or clean-up declined (3000 & 0xFF).\n");
}
