#!/usr/bin/env bash
# Hiding engine benchmark: hide and unhide 1,000 files (target: under 2 s in all).
# Usage: bench/hiding.sh [count] [folder on the filesystem to measure]
# Builds the bench program in the core-only release build $HV_BENCH_BUILD (default build-bench).
# Every hide and unhide syncs the journal once, so the time follows the disk's
# fsync latency; run it on an otherwise idle machine for meaningful numbers.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${HV_BENCH_BUILD:-$ROOT/build-bench}"
COUNT="${1:-1000}"
FOLDER="${2:-${TMPDIR:-/tmp}}"
TARGET_MS=2000

# shellcheck source=build.sh
source "$ROOT/bench/build.sh"
hv_bench_build hiding_bench

OUT="$("$BUILD/bench/hiding_bench" "$COUNT" "$FOLDER")"
echo "$OUT"
TOTAL="$(sed -n 's/.*total \([0-9.]*\) ms.*/\1/p' <<<"$OUT")"
if [ "$COUNT" -eq 1000 ]; then
    if awk -v t="$TOTAL" -v lim="$TARGET_MS" 'BEGIN { exit !(t < lim) }'; then
        echo "PASS: ${TOTAL} ms < ${TARGET_MS} ms"
    else
        echo "SLOW: ${TOTAL} ms >= ${TARGET_MS} ms"
        exit 1
    fi
fi
