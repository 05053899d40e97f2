#!/usr/bin/env bash
# Start-up benchmark: settings, encrypted configuration, theme (when built), resource module.
# Target: under 150 ms per start, the master-password check excluded.
# Usage: bench/startup.sh [starts]
# Builds the bench program in the core-only release build $HV_BENCH_BUILD (default build-bench),
# then starts the program [starts] times (default 9), each time as a fresh process with HOME and
# the XDG folders in a scratch folder (the first start creates the settings file).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${HV_BENCH_BUILD:-$ROOT/build-bench}"
STARTS="${1:-9}"
TARGET_MS=150

# shellcheck source=build.sh
source "$ROOT/bench/build.sh"
hv_bench_build startup_bench

SCRATCH="$(mktemp -d)"
trap 'rm -rf "$SCRATCH"' EXIT
export HOME="$SCRATCH/home" XDG_CONFIG_HOME="$SCRATCH/home/.config" XDG_DATA_HOME="$SCRATCH/home/.local/share"
export XDG_STATE_HOME="$SCRATCH/home/.local/state" XDG_CACHE_HOME="$SCRATCH/home/.cache"
mkdir -p "$HOME"

TOTALS=()
for ((i = 1; i <= STARTS; i++)); do
    START_NS=$(date +%s%N)
    OUT="$("$BUILD/bin/startup_bench" 1)"
    END_NS=$(date +%s%N)
    LINE="$(head -n1 <<<"$OUT")"
    echo "start $i: ${LINE#run 1: }, process $(( (END_NS - START_NS) / 1000000 )) ms"
    TOTALS+=("$(sed -n 's/.*total \([0-9.]*\) ms.*/\1/p' <<<"$LINE")")
done
MEDIAN="$(printf '%s\n' "${TOTALS[@]}" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')"
WORST="$(printf '%s\n' "${TOTALS[@]}" | sort -g | tail -n1)"
echo "median ${MEDIAN} ms, worst ${WORST} ms (loading only; process start-up shown per line)"
if awk -v t="$MEDIAN" -v lim="$TARGET_MS" 'BEGIN { exit !(t < lim) }'; then
    echo "PASS: ${MEDIAN} ms < ${TARGET_MS} ms"
else
    echo "SLOW: ${MEDIAN} ms >= ${TARGET_MS} ms"
    exit 1
fi
