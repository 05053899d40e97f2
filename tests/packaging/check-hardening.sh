#!/usr/bin/env bash
# Usage: tests/packaging/check-hardening.sh DIR...
# Checks every ELF program and shared library found in the DIRs (not recursing into theme or help
# folders) for what cmake/HvHardening.cmake asks of the build:
#   PIE (executables are ET_DYN with an interpreter), full RELRO (GNU_RELRO and BIND_NOW),
#   no executable stack, stack protector (__stack_chk_fail imported) and source fortification
#   (some __*_chk function imported) where the code gives the compiler a reason for them.
# Stack protector and fortification are required of the project's own programs and libraries,
# where there is always a buffer or a string function; a missing one there is a failure.
set -uo pipefail
status=0
checked=0
fortified=0
for dir in "$@"; do
    while IFS= read -r -d '' f; do
        head -c 4 "$f" 2>/dev/null | grep -q $'\x7fELF' || continue
        checked=$((checked + 1))
        name=${f#./}
        hdr=$(readelf -h -l -d --dyn-syms -W "$f" 2>/dev/null)
        problems=()
        type=$(awk '/^  Type:/ {print $2; exit}' <<<"$hdr")
        if grep -q 'Requesting program interpreter' <<<"$hdr" && [ "$type" != DYN ]; then
            problems+=("not PIE ($type)")
        fi
        grep -q 'GNU_RELRO' <<<"$hdr" || problems+=("no RELRO")
        grep -q -E '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' <<<"$hdr" || problems+=("no BIND_NOW (partial RELRO)")
        if grep -E 'GNU_STACK' <<<"$hdr" | grep -q 'RWE'; then
            problems+=("executable stack")
        fi
        grep -q '__stack_chk_fail' <<<"$hdr" || problems+=("no stack protector")
        if grep -q -E ' __[a-z0-9_]+_chk(@|$)' <<<"$hdr"; then
            fortified=$((fortified + 1))
        fi
        if [ ${#problems[@]} -gt 0 ]; then
            echo "!! $name: ${problems[*]}"
            status=1
        fi
    done < <(find "$dir" -maxdepth 1 -type f -print0 | sort -z)
done
echo "hardening: $checked ELF files checked, $fortified with fortified calls"
if [ "$checked" -eq 0 ]; then
    echo "!! no ELF file found in $*"
    status=1
elif [ "$fortified" -eq 0 ]; then
    echo "!! no file calls a fortified function: _FORTIFY_SOURCE is not in effect"
    status=1
fi
exit "$status"
