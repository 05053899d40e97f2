#!/usr/bin/env bash
# Usage: scripts/fuzz.sh [--build-only | --run-only] [SECONDS]
#
# The sanitizer build: clang, core-only, AddressSanitizer + UndefinedBehaviorSanitizer
# (-fno-sanitize-recover=undefined), every object instrumented for libFuzzer
# (-fsanitize=fuzzer-no-link; only the fuzz executables link libFuzzer's main). One build folder
# (HV_SAN_BUILD, default build-san) serves the core tests under the sanitizers and the fuzz
# targets (fuzz/CMakeLists.txt).
#
#   --build-only   configure and build everything of it (tests and fuzz targets), run nothing
#   --run-only     run the fuzz targets of an existing build
#   (neither)      build the fuzz targets, then run them
#
# Each target runs SECONDS seconds (default 60). Exits non-zero when a target finds a fault; the
# failing input is written to fuzz/crashes/<name>/ so that it can be committed and replayed.
set -euo pipefail
cd "$(dirname "$0")/.."
MODE=both
case "${1:-}" in
--build-only) MODE=build; shift ;;
--run-only) MODE=run; shift ;;
esac
SECONDS_EACH=${1:-60}
BUILD=${HV_SAN_BUILD:-build-san}
JOBS=${JOBS:-$(nproc)}
SAN="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fsanitize=fuzzer-no-link -fno-omit-frame-pointer"
# -O1 with line tables: what the sanitizers recommend, and quick to compile. Warnings are made
# errors by the gcc build; clang's own extra warnings are shown here, not fatal.
OPT="-O1 -gline-tables-only -DNDEBUG"  # NDEBUG as in the gcc build (RelWithDebInfo)

# Same sanitizer settings as the tests of this build (scripts/test.sh).
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:strict_init_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Leaks that are not ours to fix: Qt keeps the record of a resource registered from memory when
# the process ends with the resource module still loaded (it is loaded for the process's life).
mkdir -p "$BUILD"
printf '%s\n' 'leak:QResource::registerResource' >"$BUILD/lsan.supp"
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/$BUILD/lsan.supp:print_suppressions=0}

if [ "$MODE" != run ]; then
    CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DHV_FUZZ=ON -DHV_CORE_ONLY=ON -DHV_WERROR=OFF \
        -DCMAKE_C_FLAGS="$SAN" -DCMAKE_CXX_FLAGS="$SAN" \
        -DCMAKE_C_FLAGS_RELWITHDEBINFO="$OPT" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$OPT" >/dev/null
    if [ "$MODE" = build ]; then
        cmake --build "$BUILD" -j"$JOBS"
        exit 0
    fi
    cmake --build "$BUILD" -j"$JOBS" --target hv_fuzz
fi

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
    # Inputs that once failed are run first (new inputs are only ever added to the first folder).
    [ -n "$(ls -A "fuzz/crashes/$name")" ] && dirs+=("fuzz/crashes/$name")
    echo "== fuzzing $name for ${SECONDS_EACH}s"
    if "$BUILD/fuzz/${name}_fuzz" "${args[@]}" "${dirs[@]}" >"$BUILD/fuzz/$name.log" 2>&1; then
        grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)' "$BUILD/fuzz/$name.log" || true
    else
        tail -n 60 "$BUILD/fuzz/$name.log" >&2
        echo "!! $name found a fault: see fuzz/crashes/$name/" >&2
        status=1
    fi
done < "$BUILD/fuzz/targets.txt"
exit "$status"
