#!/usr/bin/env bash
# Usage: tests/packaging/test-package.sh BUILD_DIR
# Builds the Debian package from a finished build (cpack -G DEB), then checks it the way a user's
# machine would see it: its control data (dependencies from the libraries actually linked, no
# maintainer script that registers anything), the layout after `dpkg -x` into a temporary root,
# that no program still points into the build tree, and that the terminal program runs from the
# unpacked root in a temporary home: usage, an invalid command, and an encryption and decryption
# round trip that needs the installed configuration and resource module.
set -euo pipefail
BUILD=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
WORK=$(mktemp -d)
trap 'chmod -R u+w "$WORK" 2>/dev/null; rm -rf "$WORK"' EXIT
fail() {
    echo "!! $*" >&2
    exit 1
}

cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 || {
    cat "$WORK/cpack.log" >&2
    fail "cpack failed"
}
DEB=$(ls "$WORK"/out/*.deb 2>/dev/null | head -n 1)
[ -n "$DEB" ] || fail "no .deb written"
echo "package: $(basename "$DEB") ($(du -k "$DEB" | cut -f1) KiB)"

# --- Control data ---------------------------------------------------------------------------
depends=$(dpkg-deb -f "$DEB" Depends)
echo "Depends: $depends"
names=$(tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for lib in libc6 libstdc++6 libssl3 libsodium23 libqt6core6; do
    grep -q -F -x "$lib" <<<"$names" || fail "Depends lacks $lib"
done
grep -q -i 'halvonorvane\|HVGlobalMFC' <<<"$depends" && fail "Depends names the package's own library"
mkdir "$WORK/control"
dpkg-deb -e "$DEB" "$WORK/control"
for script in preinst postinst prerm postrm; do
    if [ -f "$WORK/control/$script" ] && grep -q -E 'hvregsvr|xdg-mime|mimeapps|nautilus|/home' "$WORK/control/$script"; then
        fail "$script registers something for the user"
    fi
done

# --- Layout -------------------------------------------------------------------------------
ROOT=$WORK/root
dpkg -x "$DEB" "$ROOT"
P=$ROOT/usr/lib/halvonorvane
for f in hnv hvcrypt libHVGlobalMFC.so.0 HNVRes.rcc Config_norvane.xml.hvnc hvregsvr libHVExt.so hvext-launch; do
    [ -e "$P/$f" ] || fail "program folder lacks $f"
done
for f in usr/share/man/man1/hnv.1.gz usr/share/man/man1/hvcrypt.1.gz usr/share/man/man1/halvonorvane.1.gz \
    usr/share/mime/packages/halvonorvane-hvnc.xml usr/share/icons/hicolor/scalable/apps/halvonorvane.svg; do
    [ -e "$ROOT/$f" ] || fail "package lacks /$f"
done
[ -L "$ROOT/usr/bin/hnv" ] || fail "/usr/bin/hnv is not a link"
[ "$(readlink -f "$ROOT/usr/bin/hnv")" = "$(readlink -f "$P/hnv")" ] || fail "/usr/bin/hnv points elsewhere"
if [ -e "$BUILD/bin/HalvoNorvane" ]; then
    for f in HalvoNorvane Theme_norvane.xml.hvnc theme; do
        [ -e "$P/$f" ] || fail "program folder lacks $f"
    done
    [ -L "$ROOT/usr/bin/halvonorvane" ] || fail "/usr/bin/halvonorvane is missing"
    [ -f "$ROOT/usr/share/applications/halvonorvane.desktop" ] || fail "no desktop entry"
    grep -q "^%40=/usr/lib/halvonorvane/HalvoNorvane$" "$ROOT/etc/xdg/Halvo-Soft/HalvoNorvane.conf" ||
        fail "the App Paths registration is missing or wrong"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$ROOT/usr/share/applications/halvonorvane.desktop" || fail "desktop entry invalid"
    fi
    [ ! -d "$BUILD/bin/help" ] || [ -d "$P/help" ] || fail "program folder lacks the help pages"
fi
if [ -d "$BUILD/bin/theme" ] && [ -n "$(ls "$BUILD/bin/theme")" ]; then
    [ -n "$(ls "$P/theme" 2>/dev/null)" ] || fail "program folder lacks the theme pictures"
fi
# Nothing in the package may load from the build tree, and nothing may need LD_LIBRARY_PATH.
while IFS= read -r -d '' f; do
    head -c 4 "$f" | grep -q $'\x7fELF' || continue
    if readelf -d "$f" | grep -E 'R(UN)?PATH' | grep -q -F "$BUILD"; then
        fail "$(basename "$f") keeps a path into the build tree"
    fi
    if env -u LD_LIBRARY_PATH ldd "$f" 2>/dev/null | grep -q 'not found'; then
        env -u LD_LIBRARY_PATH ldd "$f" | grep 'not found' >&2
        fail "$(basename "$f") has unresolved libraries"
    fi
done < <(find "$P" -maxdepth 1 -type f -print0)
[ -z "$(find "$ROOT" -path '*/nautilus/extensions*' -print -quit)" ] || fail "the package installs a file-manager module"

# --- The terminal program runs from the unpacked root ----------------------------------------
H=$WORK/home
mkdir -p "$H/config" "$H/data" "$H/state" "$H/cache" "$H/runtime" "$H/files"
chmod 700 "$H/runtime"
run_hnv() {
    env -i PATH=/usr/bin:/bin HOME="$H" XDG_CONFIG_HOME="$H/config" XDG_DATA_HOME="$H/data" \
        XDG_STATE_HOME="$H/state" XDG_CACHE_HOME="$H/cache" XDG_RUNTIME_DIR="$H/runtime" \
        LANG=C.UTF-8 "$ROOT/usr/bin/hnv" "$@"
}
run_hnv --help >"$WORK/help.txt" 2>&1 || fail "hnv --help failed: $(cat "$WORK/help.txt")"
[ -s "$WORK/help.txt" ] || fail "hnv --help printed nothing"
set +e
run_hnv --no-such-option >/dev/null 2>&1
rc=$?
set -e
[ "$rc" -eq 2 ] || fail "hnv with an unknown option ended with $rc, not 2"

printf 'packaged-secret\n' >"$H/pw"
head -c 100000 /dev/urandom >"$H/files/data.bin"
cp "$H/files/data.bin" "$WORK/data.orig"
run_hnv --quiet --yes --master-password-file "$H/pw" -e -p "$H/files" -f data.bin >"$WORK/enc.log" 2>&1 ||
    fail "encryption from the package failed: $(cat "$WORK/enc.log")"
[ -f "$H/files/data.bin.hvnc" ] || fail "no encrypted file: $(cat "$WORK/enc.log")"
rm -f "$H/files/data.bin"
run_hnv --quiet --yes --password-file "$H/pw" -d -fp "$H/files/data.bin.hvnc" >"$WORK/dec.log" 2>&1 ||
    fail "decryption from the package failed: $(cat "$WORK/dec.log")"
cmp -s "$H/files/data.bin" "$WORK/data.orig" || fail "the decrypted file differs"
# The graphical program starts from the root too (its terminal mode needs no display).
if [ -e "$ROOT/usr/bin/halvonorvane" ]; then
    env -i PATH=/usr/bin:/bin HOME="$H" XDG_CONFIG_HOME="$H/config" XDG_DATA_HOME="$H/data" \
        XDG_STATE_HOME="$H/state" XDG_RUNTIME_DIR="$H/runtime" LANG=C.UTF-8 \
        "$ROOT/usr/bin/halvonorvane" --terminal --help >"$WORK/gui-help.txt" 2>&1 ||
        fail "halvonorvane --terminal --help failed: $(cat "$WORK/gui-help.txt")"
fi
echo "package: layout, dependencies and the terminal program from the unpacked root are right"
