#!/usr/bin/env bash
# Usage: scripts/fuzz.sh [SECONDS]
# Builds every libFuzzer target (fuzz/<name>.cmake) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz, then runs each for SECONDS seconds (default 60).
# Exits non-zero when a target finds a fault; the failing input is written to fuzz/crashes/<name>/
# so that it can be committed and replayed by the normal tests.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
BUILD=build-fuzz
SAN="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DHV_FUZZ=ON -DHV_BUILD_TESTS=OFF -DHV_CORE_ONLY=ON \
    -DCMAKE_C_FLAGS="$SAN" -DCMAKE_CXX_FLAGS="$SAN" >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target hv_fuzz

status=0
while read -r name; do
    [ -n "$name" ] || continue
    work="$BUILD/fuzz/corpus/$name"
    mkdir -p "$work" "fuzz/crashes/$name"
    args=(-max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -max_len=8192 -print_final_stats=1
          -artifact_prefix="fuzz/crashes/$name/")
    [ -f "fuzz/$name.dict" ] && args+=(-dict="fuzz/$name.dict")
    dirs=("$work")
    [ -d "fuzz/corpus/$name" ] && dirs+=("fuzz/corpus/$name")
    echo "== fuzzing $name for ${SECONDS_EACH}s"
    if ! "$BUILD/fuzz/${name}_fuzz" "${args[@]}" "${dirs[@]}"; then
        echo "!! $name found a fault: see fuzz/crashes/$name/" >&2
        status=1
    fi
done < "$BUILD/fuzz/targets.txt"
exit "$status"
