#!/usr/bin/env bash
# Writes the test vectors of the .hvnc format into this folder with hvcrypt (argument: its path).
# Each plain file holds size bytes where byte i is i mod 251, mode 0640, modified at
# 1234567890.123456789; the cheapest key derivation keeps checking them quick. Every run makes
# new salts and keys, so the vectors are written once and kept; readers must decrypt them as they are.
set -euo pipefail
tool=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
listing="$here/vectors.txt"
printf '# file\tsize\tmode\tmtime seconds\tmtime nanoseconds\tpassword (UTF-8, the rest of the line)\n' >"$listing"
for version in 1 2; do
    for entry in 256:0 256:1 256:65536 256:65537 128:1 192:1; do
        bits=${entry%%:*}
        size=${entry##*:}
        name="v$version-aes$bits-$size"
        password="vector $name pässwörd ✓"
        python3 -c "import sys; sys.stdout.buffer.write(bytes(i % 251 for i in range($size)))" >"$work/$name"
        chmod 0640 "$work/$name"
        touch -d @1234567890.123456789 "$work/$name"
        printf '%s\n' "$password" >"$work/pw"
        "$tool" encrypt --quiet --password-file "$work/pw" --kdf-mem-kib 8 --kdf-passes 1 \
            --key-bits "$bits" --format-version "$version" --output "$here/$name.hvnc" "$work/$name"
        printf '%s\t%s\t0640\t1234567890\t123456789\t%s\n' "$name.hvnc" "$size" "$password" >>"$listing"
    done
done
