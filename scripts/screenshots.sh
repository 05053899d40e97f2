#!/usr/bin/env bash
# Renders every registered screen (controls, dialogs) to PNG files on the offscreen platform.
#
#   scripts/screenshots.sh [-b BUILD_DIR] [-o OUT_DIR] [NAME-PART...]
#
# Defaults: build dir "build", output "<build>/screenshots"; the pictures at 200% scale go to
# "<out>/x2". Only screens whose name contains one of the NAME-PARTs are rendered when given.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
out=""
while getopts "b:o:" opt; do
    case "$opt" in
    b) build=$(realpath -m "$OPTARG") ;;
    o) out=$(realpath -m "$OPTARG") ;;
    *) echo "usage: $0 [-b BUILD_DIR] [-o OUT_DIR] [NAME-PART...]" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
out=${out:-$build/screenshots}

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build" >/dev/null
fi
cmake --build "$build" --target hvscreens -j2 >/dev/null

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
"$build/bin/hvscreens" --out "$out" "$@"
QT_SCALE_FACTOR=2 "$build/bin/hvscreens" --out "$out/x2" "$@"
