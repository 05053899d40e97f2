#!/usr/bin/env bash
# What CI runs (.ci/run), within 30 minutes on 2 cores:
#   0. no include cycle between the folders of src/; every C++ file as clang-format writes it
#   1. full build with gcc, -Werror and the hardening flags into build-test; every test
#   2. hardening check of that build's programs and libraries; the Debian package built from it,
#      unpacked into a temporary root and started there
#   3. one clang build (build-san): core-only, AddressSanitizer + UndefinedBehaviorSanitizer,
#      libFuzzer instrumentation; the core tests under the sanitizers
#   4. every fuzz target for a bounded time (HV_FUZZ_SECONDS, default 45, less when time is short)
# Every stage runs even when an earlier one failed; the summary at the end gives each stage's
# result and time and the test counts. The exit status is non-zero when any stage failed.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1
export JOBS=$(nproc)
export QT_QPA_PLATFORM=offscreen
BUDGET=${HV_CI_BUDGET_SECONDS:-1680}  # 28 minutes: the fuzz runs shrink to fit
LOGS=build-ci-logs
mkdir -p "$LOGS"
T0=$(date +%s)
SUMMARY=()
FAILED=0

# stage NAME COMMAND...: runs a stage, records its result and time.
stage() {
    local name=$1
    shift
    local start=$(date +%s)
    echo
    echo "== $name"
    "$@"
    local rc=$?
    local took=$(($(date +%s) - start))
    local result=ok
    [ "$rc" -eq 0 ] || { result="FAILED ($rc)"; FAILED=1; }
    SUMMARY+=("$(printf '%-44s %-12s %4d:%02d' "$name" "$result" $((took / 60)) $((took % 60)))")
    return 0
}

# run_ctest BUILD LOG ARGS...: ctest with its output in LOG; prints the summary lines.
run_ctest() {
    local build=$1 log=$2
    shift 2
    ctest --test-dir "$build" --output-on-failure -j"$JOBS" --timeout 600 "$@" >"$log" 2>&1
    local rc=$?
    if [ "$rc" -ne 0 ]; then
        # The failing tests' output, then the list.
        grep -v -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' "$log" | tail -n 300
    fi
    grep -E '% tests passed|Total Test time' "$log"
    return "$rc"
}

include_cycles() { scripts/check-include-cycles.sh; }
format_check() {
    find src tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 |
        xargs -0 clang-format --dry-run -Werror
}
full_build() {
    cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHV_WERROR=ON >/dev/null &&
        cmake --build build-test -j"$JOBS" 2>&1 |
        { grep -v -E '^\[ *[0-9]+%\] (Building|Linking|Built|Automatic|Generating|Running|Copying|Rendering|Encrypting|Compressing)' || true; }
}
full_tests() { run_ctest build-test "$LOGS/ctest-full.log"; }
hardening() { tests/packaging/check-hardening.sh build-test/bin; }  # what the package ships
package() { tests/packaging/test-package.sh build-test; }

# The sanitizers: leaks count as failures; slow tests keep the 600 s limit.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:strict_init_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/build-san/lsan.supp:print_suppressions=0  # written by scripts/fuzz.sh
san_build() {
    scripts/fuzz.sh --build-only 2>&1 |
        { grep -v -E '^\[ *[0-9]+%\] (Building|Linking|Built|Automatic|Generating|Running|Encrypting)' || true; }
}
san_tests() { run_ctest build-san "$LOGS/ctest-san.log" -LE full-only; }
fuzz_runs() {
    local targets left each
    targets=$(grep -c . build-san/fuzz/targets.txt)
    left=$((BUDGET - ($(date +%s) - T0)))
    each=$((left / (targets > 0 ? targets : 1) - 5))
    [ "$each" -le "${HV_FUZZ_SECONDS:-45}" ] || each=${HV_FUZZ_SECONDS:-45}
    [ "$each" -ge 15 ] || each=15
    echo "$targets targets, ${each}s each"
    scripts/fuzz.sh --run-only "$each"
}

stage "0a include cycles between folders" include_cycles
stage "0b clang-format" format_check
stage "1a full build (gcc, -Werror, hardened)" full_build
stage "1b tests of the full build" full_tests
stage "2a hardening flags of the programs" hardening
stage "2b Debian package: build, unpack, start" package
stage "3a sanitizer build (clang, ASan+UBSan, core)" san_build
stage "3b core tests under the sanitizers" san_tests
stage "4  fuzz targets, bounded runs" fuzz_runs

echo
echo "== summary ($(($(date +%s) - T0)) s in all)"
printf '%s\n' "${SUMMARY[@]}"
for log in "$LOGS/ctest-full.log" "$LOGS/ctest-san.log"; do
    [ -f "$log" ] && echo "$log: $(grep -E '% tests passed' "$log" || echo 'no test summary')"
done
exit "$FAILED"
