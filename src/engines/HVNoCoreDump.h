#pragma once

// Keeps the process's secrets (passwords, keys, plain text in memory) out of core dumps and away
// from other processes of the user: no core file (RLIMIT_CORE 0, soft and hard) and the process
// not dumpable (which also refuses a debugger attach by the same user). Every program that reads
// a secret calls it first thing in main. True when both took effect.
bool HVNoCoreDump();
