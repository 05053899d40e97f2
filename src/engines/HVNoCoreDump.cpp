#include "engines/HVNoCoreDump.h"

#include <sys/prctl.h>
#include <sys/resource.h>

bool HVNoCoreDump()
{
    const rlimit noCore{0, 0};
    const bool bLimit = ::setrlimit(RLIMIT_CORE, &noCore) == 0;
    const bool bDumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    return bLimit && bDumpable;
}
