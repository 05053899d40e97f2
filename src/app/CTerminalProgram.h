#pragma once

#include <QStringList>

// The terminal program "hnv": the application object's start-up and command language with every
// dialog answered in the terminal (see docs/cli.md).
class CTerminalProgram
{
public:
    // Runs one start with the arguments (program path not included); the exit status.
    [[nodiscard]] static int Main(const QStringList& lstArgs);
};
