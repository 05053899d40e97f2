#!/usr/bin/env bash
# Sourced by the benchmark scripts: hv_bench_build TARGET... configures the core-only release
# build in $BUILD (once) and builds the named targets; the programs land in $BUILD/bench.
hv_bench_build() {
    if [ ! -f "$BUILD/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DHV_CORE_ONLY=ON -DHV_BUILD_TESTS=OFF >/dev/null
    fi
    cmake --build "$BUILD" -j"$(nproc)" --target "$@" >/dev/null
}
