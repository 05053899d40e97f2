#pragma once

// Helpers shared by the library's source files; not part of the public API.

#include "globalfuncs/HVPathText.h"

#include <QByteArray>
#include <QString>

namespace HVGlobalMFC::detail {

// Hands a failure line to the installed log handler, if any.
void Log(int severity, const char* file, int line, const QString& text);

// The system's message text for an errno value.
QString SysErrorText(int err);

// Creates path and its missing parents with the given mode (before umask).
// Returns 0 when path is a folder afterwards, otherwise the errno of the failing step.
int MakePath(const QString& path, unsigned mode);

inline QByteArray Native(const QString& path)
{
    return HVGlobalMFC::HVPathToBytes(path);
}

}  // namespace HVGlobalMFC::detail

#define HV_LOG(severity, text) ::HVGlobalMFC::detail::Log((severity), __FILE__, __LINE__, (text))
