#!/usr/bin/env bash
# Parse benchmark of the XML document engine: generates a 50 MB document with 1 million
# elements and measures loading it (read, UTF-8 decode, parse, index), the parse alone, and the
# peak memory. Targets: parse and index under 1 s, peak memory under 3 x the file size; every
# 5-million-character text of one unterminated construct repeated parsed under 2 s.
# Usage: bench/xml.sh [BUILD_DIR]   (default: build-bench, configured as a core-only release build)
# STRICT=1 makes a missed target an error.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${1:-${HV_BENCH_BUILD:-build-bench}}
# shellcheck source=build.sh
source bench/build.sh
hv_bench_build xml_bench
BENCH=$BUILD/bench/xml_bench
TMP=$(mktemp -d "${TMPDIR:-/tmp}/hv-xml-bench-XXXXXX")
trap 'rm -rf "$TMP"' EXIT

echo "== XML engine: 50 MB, 1 million elements ($(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg))"
"$BENCH" generate "$TMP/big.xml" 50000000 1000000
out=$("$BENCH" parse "$TMP/big.xml")
echo "$out"
result=$(grep '^RESULT' <<<"$out")
parse_ms=$(sed -E 's/.*parse_ms=([0-9]+).*/\1/' <<<"$result")
load_ms=$(sed -E 's/.*load_ms=([0-9]+).*/\1/' <<<"$result")
ratio=$(sed -E 's/.*peak_ratio=([0-9.]+).*/\1/' <<<"$result")
verdict=ok
(( parse_ms < 1000 )) || verdict=missed
(( load_ms < 1000 )) || verdict=missed
awk -v r="$ratio" 'BEGIN { exit !(r < 3.0) }' || verdict=missed
echo "== hostile input: unterminated constructs repeated"
hostile=$("$BENCH" hostile 5000000)
echo "$hostile"
hostile_ms=$(sed -nE 's/^RESULT hostile_ms=([0-9]+).*/\1/p' <<<"$hostile")
(( hostile_ms < 2000 )) || verdict=missed
echo "targets (< 1000 ms, < 3 x size, hostile < 2000 ms): $verdict"
if [[ $verdict != ok && ${STRICT:-0} == 1 ]]; then
    exit 1
fi
