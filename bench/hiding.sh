#!/usr/bin/env bash
# Hiding engine benchmark: hide and unhide 1,000 files (target: under 2 s in all).
# Usage: bench/hiding.sh [count] [folder on the filesystem to measure]
# Compiles the engine sources and the bench program into build-bench-hiding (or $HV_BENCH_BUILD)
# Every hide and unhide syncs the journal once, so the time follows the disk's
# fsync latency; run it on an otherwise idle machine for meaningful numbers.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${HV_BENCH_BUILD:-$ROOT/build-bench-hiding}"
COUNT="${1:-1000}"
FOLDER="${2:-${TMPDIR:-/tmp}}"
TARGET_MS=2000

mkdir -p "$BUILD"
c++ -std=c++20 -O2 -Wall -Wextra -I"$ROOT/src" "$ROOT"/src/hiding/*.cpp "$ROOT/bench/hiding/hiding_bench.cpp" \
    -pthread -o "$BUILD/hiding_bench"

OUT="$("$BUILD/hiding_bench" "$COUNT" "$FOLDER")"
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
