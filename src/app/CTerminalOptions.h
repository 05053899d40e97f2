#pragma once

#include <QString>
#include <QStringList>

// The terminal program's own options ("--name", two dashes), taken out of the argument vector
// before the rest goes to the command language (whose options have one dash, and whose values
// never begin with one).
struct STerminalOptions
{
    QString strPasswordFile;              // --password-file FILE ("-": standard input)
    QString strMasterPasswordFile;        // --master-password-file FILE ("-": standard input)
    int nAnswer = -1;                     // --yes 1, --no 0, else -1: questions are asked
    bool bJson = false;                   // --json: the summary as JSON on stdout
    bool bQuiet = false;                  // --quiet: no progress line, no summary text
    bool bHelp = false;                   // --help
    bool bTerminal = false;               // --terminal (the GUI program's switch; accepted here)
    bool bPasswordOnCommandLine = false;  // "-pw" among the task's options
    QStringList lstTask;                  // the task in the command language
    QString strError;                     // why Parse refused the arguments

    // Fills out from the arguments (program path not included). False on an unknown "--"
    // option, a missing file name, --yes with --no, or both password files naming standard input.
    [[nodiscard]] static bool Parse(const QStringList& lstArgs, STerminalOptions& out);
    [[nodiscard]] static QString Usage();
};
