#!/usr/bin/env bash
# Runner benchmark: 10,000 files of 4 KiB in a folder tree, encrypted and wiped through the
# encrypt, wipe and decrypt runner's work with the real engines (target: under 30 s), decrypted
# back (target: no slower than the encryption), then the peak memory of the process against the
# number of files.
# Usage: bench/runner.sh [files] [bytes per file] [parent folder]
# Builds the bench program in the core-only release build $HV_BENCH_BUILD (default build-bench).
# Every encrypted file and every wipe pass is made durable, so the time follows the disk's sync
# latency; run it on an otherwise idle machine for meaningful numbers.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${HV_BENCH_BUILD:-$ROOT/build-bench}"
COUNT="${1:-10000}"
BYTES="${2:-4096}"
FOLDER="${3:-${TMPDIR:-/tmp}}"
TARGET_S=30

# shellcheck source=build.sh
source "$ROOT/bench/build.sh"
hv_bench_build runner_bench
export HV_BUILD_BIN="$BUILD/bin"

echo "== time: $COUNT files of $BYTES bytes, default key derivation (paid once per run)"
OUT="$("$BUILD/bench/runner_bench" "$COUNT" "$BYTES" "$FOLDER")"
echo "$OUT"
SECS="$(sed -n '1s/.*: \([0-9.]*\) s .*/\1/p' <<<"$OUT")"
DSECS="$(sed -n 's/^decrypt .*: \([0-9.]*\) s .*/\1/p' <<<"$OUT")"

echo "== peak memory against the number of files (cheap key derivation, so the file list shows)"
for n in 1000 4000 "$COUNT"; do
    "$BUILD/bench/runner_bench" "$n" "$BYTES" "$FOLDER" --cheap-kdf
done

if [ "$COUNT" -eq 10000 ] && [ "$BYTES" -eq 4096 ]; then
    STATUS=0
    if awk -v t="$SECS" -v lim="$TARGET_S" 'BEGIN { exit !(t < lim) }'; then
        echo "PASS: ${SECS} s < ${TARGET_S} s"
    else
        echo "SLOW: ${SECS} s >= ${TARGET_S} s"
        STATUS=1
    fi
    if awk -v d="$DSECS" -v e="$SECS" 'BEGIN { exit !(d <= e) }'; then
        echo "PASS: decryption ${DSECS} s <= encryption and wipe ${SECS} s"
    else
        echo "SLOW: decryption ${DSECS} s > encryption and wipe ${SECS} s"
        STATUS=1
    fi
    exit "$STATUS"
fi
