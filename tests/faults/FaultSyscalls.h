#pragma once

// Fault injection under the engines (see FaultSyscalls.c). Kinds of calls:
#define HVFAULT_WRITE 1u   // write, writev, pwrite, ftruncate
#define HVFAULT_SYNC 2u    // fsync, fdatasync, syncfs
#define HVFAULT_CREATE 4u  // open/openat with O_CREAT or O_TMPFILE, mkostemp, mkdir, link
#define HVFAULT_RENAME 8u  // rename, renameat, renameat2, linkat (naming an unnamed output)
#define HVFAULT_ALL 15u
#define HVFAULT_MODE 16u  // fchmod, futimens (what file systems such as vfat cannot keep); not in ALL

#ifdef __cplusplus
extern "C" {
#endif

// Counts the calls of the kinds in mask from now on; from call number failFrom (0-based) on,
// they fail with err. failFrom < 0: count only.
void hvfault_arm(unsigned mask, long failFrom, int err);
// Stops counting and failing; returns the number of calls counted.
long hvfault_disarm(void);
// Calls failed since the last arm.
long hvfault_failed(void);
// Name of the counted call number index (for messages).
const char* hvfault_call_name(long index);
// 0 where the calls cannot be taken over (sanitizer builds intercept them themselves).
int hvfault_available(void);

#ifdef __cplusplus
}
#endif
