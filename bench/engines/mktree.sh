#!/usr/bin/env bash
# mktree.sh DIR COUNT SIZE: COUNT files of SIZE random bytes, spread over 100 folders of DIR.
set -euo pipefail
dir=$1 count=$2 size=$3
per=$(((count + 99) / 100))
for d in $(seq 0 99); do
    mkdir -p "$dir/d$d"
    n=$((count - d * per))
    ((n > per)) && n=$per
    ((n <= 0)) && continue
    head -c $((n * size)) /dev/urandom | split -b "$size" -a 4 -d - "$dir/d$d/f"
done
