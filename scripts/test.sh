#!/usr/bin/env bash
# Installs what is missing, builds everything (full and core-only) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
JOBS=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== full build"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHV_WERROR=ON >/dev/null
cmake --build build-test -j"$JOBS"
ctest --test-dir build-test --output-on-failure -j"$JOBS" --timeout 600

echo "== core-only build (no Qt Widgets)"
cmake -S . -B build-core -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHV_CORE_ONLY=ON -DHV_WERROR=ON >/dev/null
cmake --build build-core -j"$JOBS"
ctest --test-dir build-core --output-on-failure -j"$JOBS" --timeout 600 -LE full-only

echo "== fuzz targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer), bounded runs"
scripts/fuzz.sh "${HV_FUZZ_SECONDS:-60}"
