#!/usr/bin/env bash
# Shows the engines at work on a sample file in a temporary folder (used by scripts/run.sh
# until the main window exists).
set -euo pipefail
BIN=${1:-build/bin}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'Halvo Norvane sample file\n%.0s' $(seq 1 2000) > "$work/sample.txt"
cp "$work/sample.txt" "$work/original.txt"
printf 'correct horse battery staple' > "$work/pw"
echo "Encrypting $work/sample.txt"
"$BIN/hvcrypt" encrypt --password-file "$work/pw" "$work/sample.txt"
"$BIN/hvcrypt" verify --password-file "$work/pw" "$work/sample.txt.hvnc"
rm "$work/sample.txt"
echo "Decrypting $work/sample.txt.hvnc"
"$BIN/hvcrypt" decrypt --password-file "$work/pw" "$work/sample.txt.hvnc"
cmp "$work/sample.txt" "$work/original.txt" && echo "Round trip OK: the decrypted file matches the original."
"$BIN/hvcrypt" wipe --method 1 "$work/original.txt"
[ ! -e "$work/original.txt" ] && echo "Wipe OK: the copy is gone."
