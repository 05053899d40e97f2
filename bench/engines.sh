#!/usr/bin/env bash
# Times the encryption and wipe engines (through hvcrypt) beside peer tools on the same files,
# in one run, and prints ratios:
#   1. one 1 GiB file on /dev/shm: cp, hvcrypt, age, gpg --symmetric, openssl enc;
#   2. 10,000 files of 4 KiB in a folder tree on disk, each its own durable .hvnc;
#   3. wipe of a 256 MiB file on disk: hvcrypt wipe --method 0 beside dd conv=fdatasync and shred.
# Wall time, its ratio to the baseline, CPU time (user + system) and peak memory (maximum resident
# set) come from /usr/bin/time. On a busy machine the CPU column is the steadier comparison.
# Usage: bench/engines.sh [BUILD_BIN]   (default build/bin; DISK_DIR=folder on disk, default /var/tmp)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=engines/lib.sh
source "$here/engines/lib.sh"
BIN=$(cd "${1:-$here/../build/bin}" && pwd)
HV=$BIN/hvcrypt
[[ -x $HV ]] || { echo "no hvcrypt in $BIN (build it first)" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (package time)" >&2; exit 1; }
SHM=$(mktemp -d /dev/shm/hv-bench-XXXXXX)
DISK=$(mktemp -d "${DISK_DIR:-/var/tmp}/hv-bench-XXXXXX")
trap 'rm -rf "$SHM" "$DISK"' EXIT
printf 'bench passphrase for all tools\n' >"$SHM/pw"
cp "$SHM/pw" "$DISK/pw"
CHEAP=(--kdf-mem-kib 1024 --kdf-passes 1)

ensure_tool age age || true
ensure_tool gpg gnupg || true

echo "== 1 GiB on /dev/shm ($(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg))"
big=$SHM/big
head -c 1G /dev/urandom >"$big"
cmp_ok() { cmp -s "$big" "$1" || { echo "  MISMATCH: $1" >&2; exit 1; }; }

for pass in 1 2; do  # the second pass is the one reported; the first warms caches
    RESULT_ORDER=()
    measure cp cp "$big" "$SHM/copy"
    rm -f "$SHM/copy"

    measure "hvcrypt encrypt (KDF 1 MiB/1 pass)" "$HV" encrypt --quiet "${CHEAP[@]}" --password-file "$SHM/pw" \
        --output "$SHM/big.hvnc" "$big"
    measure "hvcrypt decrypt" "$HV" decrypt --quiet --password-file "$SHM/pw" --output "$SHM/big.out" "$SHM/big.hvnc"
    cmp_ok "$SHM/big.out"
    rm -f "$SHM/big.out" "$SHM/big.hvnc"
    measure "hvcrypt encrypt (default KDF 256 MiB/3)" "$HV" encrypt --quiet --password-file "$SHM/pw" \
        --output "$SHM/big.hvnc" "$big"
    measure "hvcrypt decrypt (default KDF)" "$HV" decrypt --quiet --password-file "$SHM/pw" \
        --output "$SHM/big.out" "$SHM/big.hvnc"
    cmp_ok "$SHM/big.out"
    rm -f "$SHM/big.out" "$SHM/big.hvnc"

    if have age && have age-keygen; then
        # age takes a passphrase only from a terminal: a recipient key stands in for it.
        [[ -f $SHM/age.key ]] || age-keygen -o "$SHM/age.key" 2>/dev/null
        pub=$(age-keygen -y "$SHM/age.key")
        measure "age encrypt (X25519 recipient)" age -r "$pub" -o "$SHM/big.age" "$big"
        measure "age decrypt" age -d -i "$SHM/age.key" -o "$SHM/big.out" "$SHM/big.age"
        cmp_ok "$SHM/big.out"
        rm -f "$SHM/big.out" "$SHM/big.age"
    fi
    if have gpg; then
        export GNUPGHOME=$SHM/gnupg
        mkdir -p -m 700 "$GNUPGHOME"
        G=(gpg --batch --yes --quiet --pinentry-mode loopback --passphrase-file "$SHM/pw")
        measure "gpg --symmetric AES256 (no compression)" "${G[@]}" --symmetric --cipher-algo AES256 \
            --compress-algo none -o "$SHM/big.gpg" "$big"
        measure "gpg decrypt" "${G[@]}" -d -o "$SHM/big.out" "$SHM/big.gpg"
        cmp_ok "$SHM/big.out"
        rm -f "$SHM/big.out" "$SHM/big.gpg"
    fi
    if have openssl; then
        measure "openssl enc -aes-256-ctr (no auth)" openssl enc -aes-256-ctr -pbkdf2 -pass "file:$SHM/pw" \
            -in "$big" -out "$SHM/big.ossl"
        measure "openssl enc -d" openssl enc -d -aes-256-ctr -pbkdf2 -pass "file:$SHM/pw" \
            -in "$SHM/big.ossl" -out "$SHM/big.out"
        cmp_ok "$SHM/big.out"
        rm -f "$SHM/big.out" "$SHM/big.ossl"
    fi
done
printf '  %-44s %10s  %11s  %9s  %13s\n' "tool" "time" "to cp" "cpu" "peak memory"
for name in "${RESULT_ORDER[@]}"; do row "$name" cp; done
echo "  (targets: hvcrypt encrypt and decrypt within 1.4x of cp; peak memory below 64 MiB apart from"
echo "   the Argon2id memory, which the default cost sets to 256 MiB)"
rm -f "$big"

echo
echo "== 10,000 files of 4 KiB in 100 folders on disk ($DISK)"
"$here/engines/mktree.sh" "$DISK/tree" 10000 4096
sync
RESULT_ORDER=()
mapfile -t files < <(find "$DISK/tree" -type f)
measure "hvcrypt encrypt 10,000 files (default KDF)" "$HV" encrypt --quiet --password-file "$DISK/pw" "${files[@]}"
n=$(find "$DISK/tree" -name '*.hvnc' | wc -l)
echo "  $n .hvnc files written"
find "$DISK/tree" -type f ! -name '*.hvnc' -delete
sync
mapfile -t encfiles < <(find "$DISK/tree" -name '*.hvnc')
measure "hvcrypt decrypt 10,000 files" "$HV" decrypt --quiet --password-file "$DISK/pw" "${encfiles[@]}"
n=$(find "$DISK/tree" -type f ! -name '*.hvnc' | wc -l)
echo "  $n plain files back"
mkdir -p "$DISK/copy"
measure "cp -r + sync (for scale)" sh -c "cp -r '$DISK/tree' '$DISK/copy/' && sync"
printf '  %-44s %10s  %11s  %9s  %13s\n' "operation" "time" "to cp+sync" "cpu" "peak memory"
for name in "${RESULT_ORDER[@]}"; do row "$name" "cp -r + sync (for scale)"; done
echo "  (target: encryption of the tree under 5 s with one key derivation)"
rm -rf "$DISK/tree" "$DISK/copy"

echo
echo "== wipe of a 256 MiB file on disk"
RESULT_ORDER=()
wf=$DISK/wipe.bin
make_victim() { head -c 256M /dev/urandom >"$wf"; sync; }
make_victim
measure "dd if=/dev/zero conv=notrunc,fdatasync" dd if=/dev/zero of="$wf" bs=4M count=64 conv=notrunc,fdatasync
measure "shred -n 1" shred -n 1 "$wf"
rm -f "$wf"
make_victim
measure "hvcrypt wipe --method 0 (then removed)" "$HV" wipe --quiet --method 0 "$wf"
[[ -e $wf ]] && echo "  WIPE LEFT THE FILE" >&2
printf '  %-44s %10s  %11s  %9s  %13s\n' "tool" "time" "to dd" "cpu" "peak memory"
for name in "${RESULT_ORDER[@]}"; do row "$name" "dd if=/dev/zero conv=notrunc,fdatasync"; done
echo "  (target: hvcrypt wipe at least 80% of dd's speed, i.e. a ratio of at most 1.25)"
