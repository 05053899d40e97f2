#pragma once

#include "logging/CHVLog.h"

#include <string>
#include <string_view>

namespace LOGGER {

// Scoped function logger: writes "Enter <name>" when built and "Exit <name>" when it goes out
// of scope, each only while the writer is logging. The name may be given plainly
// ("CMRegistryData::FirstTimeInit") or as the compiler's pretty function text, which is
// reduced to "Class::Method" (HV_FUNC_LOG does that for the enclosing function).
class CHVFuncLog
{
public:
    explicit CHVFuncLog(const char* pszFunction, CHVLog& log = g_HVLog);
    ~CHVFuncLog();

    CHVFuncLog(const CHVFuncLog&) = delete;
    CHVFuncLog& operator=(const CHVFuncLog&) = delete;

    // "bool ns::CMRegistryData::Load() const" -> "CMRegistryData::Load": the last two parts of
    // the qualified name, without template arguments, return type or parameters. A lambda
    // counts as its enclosing function. Text it cannot take apart comes back unchanged.
    [[nodiscard]] static std::string QualifiedName(std::string_view strPretty);

private:
    CHVLog& m_log;
    const char* m_pszFunction;
};

}  // namespace LOGGER

#define HV_FUNC_LOG_CAT2(a, b) a##b
#define HV_FUNC_LOG_CAT(a, b) HV_FUNC_LOG_CAT2(a, b)
// Logs entry and exit of the enclosing function under its qualified name.
#define HV_FUNC_LOG() ::LOGGER::CHVFuncLog HV_FUNC_LOG_CAT(hvFuncLog_, __LINE__)(__PRETTY_FUNCTION__)
