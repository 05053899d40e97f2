#!/usr/bin/env bash
# Renders every registered screen (controls, dialogs, pages) to PNG files on the offscreen
# platform, in the light, dark and high-contrast themes, at 100% and 200% scale.
#
#   scripts/screenshots.sh [-b BUILD_DIR] [-o OUT_DIR] [NAME-PART...]
#
# Defaults: build dir "build", output "<build>/screenshots". The pictures go to
# "<out>/<theme>/x1" and "<out>/<theme>/x2" for the themes light, dark and contrast. Only screens
# whose name contains one of the NAME-PARTs are rendered when given.
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

# The offscreen platform's own screen (800 x 600) would clip the wide dialogs at 200%: a screen
# of 3200 x 2400 pixels gives every window room at both scales.
screen_dir=$(mktemp -d)
trap 'rm -rf "$screen_dir"' EXIT
cat >"$screen_dir/screen.json" <<'JSON'
{"screens": [{"name": "screenshots", "x": 0, "y": 0, "width": 3200, "height": 2400,
              "logicalDpi": 96, "logicalBaseDpi": 96}]}
JSON
export QT_QPA_PLATFORM="offscreen:configfile=$screen_dir/screen.json"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
for theme in light dark contrast; do
    "$build/bin/hvscreens" --theme "$theme" --out "$out/$theme/x1" "$@" >/dev/null
    QT_SCALE_FACTOR=2 "$build/bin/hvscreens" --theme "$theme" --out "$out/$theme/x2" "$@" >/dev/null
done
echo "screenshots in $out/{light,dark,contrast}/{x1,x2}"
