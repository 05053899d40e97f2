#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QString>

namespace HVGlobalMFC {

// Receives the library's failure log lines (the program forwards them to its log writer).
// severity: 0 note, 1 minor failure, 3 error. file/line: the source position in this library.
using HVLogHandler = void (*)(const QString& message, int severity, const char* file, int line);

// Installs the handler (nullptr: log nothing, the default). Safe to call from any thread.
HVGLOBALMFC_API void HVSetLogHandler(HVLogHandler handler);

}  // namespace HVGlobalMFC
