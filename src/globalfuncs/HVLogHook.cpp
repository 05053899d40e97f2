#include "globalfuncs/HVLogHook.h"

#include "globalfuncs/HVInternal.h"

#include <atomic>
#include <cerrno>
#include <cstring>

namespace HVGlobalMFC {

namespace {
std::atomic<HVLogHandler> g_handler{nullptr};
}  // namespace

void HVSetLogHandler(HVLogHandler handler)
{
    g_handler.store(handler);
}

namespace detail {

void Log(int severity, const char* file, int line, const QString& text)
{
    if (HVLogHandler handler = g_handler.load()) {
        const char* base = std::strrchr(file, '/');
        handler(text, severity, base ? base + 1 : file, line);
    }
}

QString SysErrorText(int err)
{
    char buf[256] = {};
    // GNU strerror_r may return a static string instead of filling buf.
    const char* text = strerror_r(err, buf, sizeof buf);
    return QString::fromLocal8Bit(text ? text : buf);
}

}  // namespace detail
}  // namespace HVGlobalMFC
