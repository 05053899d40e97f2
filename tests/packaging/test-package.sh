#!/usr/bin/env bash
# Usage: tests/packaging/test-package.sh BUILD_DIR
# Builds the Debian packages from a finished build (cpack -G DEB: halvonorvane and, when the
# GNOME Files module was built, halvonorvane-nautilus), then checks them the way a user's machine
# would see them: lintian reports no error, the control data (dependencies from the libraries
# actually linked, no hard dependency on GNOME Files, no maintainer script, the conffile), the
# layout after `dpkg -x` into a temporary root (desktop entry that validates and opens .hvnc
# files, icons, copyright and changelog), that no program still points into the build tree,
# that an ordinary user (a throwaway uid) registers and removes the file-manager menus in an own
# home without any rights elsewhere, and that the terminal program runs from the unpacked root
# in a temporary home: usage, an invalid command, and an encryption and decryption round trip
# that needs the installed configuration and resource module.
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
DEB=$(ls "$WORK"/out/halvonorvane_*.deb 2>/dev/null | head -n 1)
[ -n "$DEB" ] || fail "no .deb written: $(ls "$WORK/out")"
MODDEB=$(ls "$WORK"/out/halvonorvane-nautilus_*.deb 2>/dev/null | head -n 1)
echo "package: $(basename "$DEB") ($(du -k "$DEB" | cut -f1) KiB)${MODDEB:+, $(basename "$MODDEB")}"

# --- lintian: no error (warnings are printed) ---------------------------------------------------
if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 "$DEB" ${MODDEB:+"$MODDEB"} >"$WORK/lintian.txt" 2>&1 || true
    cat "$WORK/lintian.txt"
    ! grep -q '^E: ' "$WORK/lintian.txt" || fail "lintian reports errors"
else
    fail "lintian is not installed (scripts/install-deps.sh installs it)"
fi

# --- Control data ---------------------------------------------------------------------------
depends=$(dpkg-deb -f "$DEB" Depends)
echo "Depends: $depends"
names=$(tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for lib in libc6 libstdc++6 libssl3 libsodium23 libqt6core6; do
    grep -q -F -x "$lib" <<<"$names" || fail "Depends lacks $lib"
done
grep -q -i 'halvonorvane\|HVGlobalMFC' <<<"$depends" && fail "Depends names the package's own library"
grep -q 'nautilus' <<<"$depends" && fail "Depends names GNOME Files, an optional desktop"
mkdir "$WORK/control"
dpkg-deb -e "$DEB" "$WORK/control"
for script in preinst postinst prerm postrm; do
    [ ! -e "$WORK/control/$script" ] || fail "the package has a maintainer script: $script"
done
grep -q -x '/etc/xdg/Halvo-Soft/HalvoNorvane.conf' "$WORK/control/conffiles" || fail "the registration is no conffile"
if [ -n "$MODDEB" ]; then
    grep -q 'halvonorvane-nautilus' <<<"$(dpkg-deb -f "$DEB" Recommends)" || fail "the module package is not recommended"
    grep -q 'halvonorvane (= ' <<<"$(dpkg-deb -f "$MODDEB" Depends)" || fail "the module package lacks its program"
    [ -z "$(dpkg-deb -c "$MODDEB" | grep -E '/usr/(bin|lib/halvonorvane)/')" ] || fail "the module package holds program files"
fi

# --- Layout -------------------------------------------------------------------------------
ROOT=$WORK/root
dpkg -x "$DEB" "$ROOT"
P=$ROOT/usr/lib/halvonorvane
[ -z "$(find "$ROOT" -path '*/nautilus/extensions*' -print -quit)" ] || fail "the program package holds the GNOME Files module"
if [ -n "$MODDEB" ]; then
    dpkg -x "$MODDEB" "$ROOT"
    [ -n "$(find "$ROOT" -path '*/nautilus/extensions-4/libHVExtNautilus.so' -print -quit)" ] ||
        fail "the module package does not put the module into the extension folder"
fi
for f in hnv hvcrypt libHVGlobalMFC.so.0 HNVRes.rcc Config_norvane.xml.hvnc hvregsvr libHVExt.so hvext-launch; do
    [ -e "$P/$f" ] || fail "program folder lacks $f"
done
for f in usr/share/man/man1/hnv.1.gz usr/share/man/man1/hvcrypt.1.gz usr/share/man/man1/halvonorvane.1.gz \
    usr/share/mime/packages/halvonorvane-hvnc.xml usr/share/icons/hicolor/scalable/apps/halvonorvane.svg \
    usr/share/icons/hicolor/scalable/mimetypes/application-x-hvnc.svg usr/share/doc/halvonorvane/copyright \
    usr/share/doc/halvonorvane/changelog.gz; do
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
    desktop-file-validate "$ROOT/usr/share/applications/halvonorvane.desktop" || fail "desktop entry invalid"
    # Double-click and "open with" work before the program ever ran: the entry opens .hvnc files.
    grep -q -x 'MimeType=application/x-hvnc;' "$ROOT/usr/share/applications/halvonorvane.desktop" ||
        fail "the desktop entry does not declare the .hvnc type"
    grep -q -E '^Exec=halvonorvane %[fF]$' "$ROOT/usr/share/applications/halvonorvane.desktop" ||
        fail "the desktop entry takes no file"
    for size in 16 24 32 48 64 128 256; do
        for icon in apps/halvonorvane mimetypes/application-x-hvnc; do
            png=$ROOT/usr/share/icons/hicolor/${size}x${size}/$icon.png
            [ "$(file -b "$png" 2>/dev/null | grep -o "$size x $size")" = "$size x $size" ] ||
                fail "no ${size}x${size} PNG of $icon"
        done
    done
    # The type's icon wins over a theme's generic page only as the type's generic icon too.
    T=$WORK/mime && mkdir -p "$T/mime/packages" && cp "$ROOT/usr/share/mime/packages/halvonorvane-hvnc.xml" "$T/mime/packages/"
    update-mime-database "$T/mime" 2>/dev/null
    printf 'HVNC\r\n\x1a\n' >"$T/x.hvnc"
    [ "$(XDG_DATA_HOME="$T/none" XDG_DATA_DIRS="$T" gio info -a standard::icon "$T/x.hvnc" | sed -n 's/^ *standard::icon: //p')" = \
        "application-x-hvnc, application-x-hvnc-symbolic" ] || fail "a .hvnc file falls back to a generic icon"
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

# --- An ordinary user registers the menus in an own home, with no rights anywhere else --------
USER_ID=$((40000 + RANDOM % 20000))
chmod 755 "$WORK"
UH=$WORK/user-home
mkdir -p "$UH"
chown "$USER_ID:$USER_ID" "$UH"
as_user() {
    setpriv --reuid="$USER_ID" --regid="$USER_ID" --clear-groups \
        env -i PATH=/usr/bin:/bin HOME="$UH" LANG=C.UTF-8 "$@"
}
as_user "$P/hvregsvr" "$P/libHVExt.so" >"$WORK/reg.log" 2>&1 || fail "registration as an ordinary user failed: $(cat "$WORK/reg.log")"
for f in kio/servicemenus/halvonorvane-hvext.desktop kio/servicemenus/halvonorvane-hvext-decrypt.desktop \
    nemo/actions/halvonorvane-hvext-01-1.nemo_action; do
    [ -e "$UH/.local/share/$f" ] || fail "no $f after registration as an ordinary user"
done
[ "$(stat -c %u "$UH/.local/share/nemo/actions/halvonorvane-hvext-01-1.nemo_action")" = "$USER_ID" ] || fail "menu not the user's"
grep -q -F "Exec=\"$P/hvext-launch\" 1 %U" "$UH/.local/share/nemo/actions/halvonorvane-hvext-01-1.nemo_action" ||
    fail "the Nemo action does not call the installed launcher"
grep -q -F "Conditions=exec \"$P/hvext-launch\" --offered 1 %F;" "$UH/.local/share/nemo/actions/halvonorvane-hvext-01-1.nemo_action" ||
    fail "the Nemo condition does not ask the installed launcher"
as_user "$P/hvregsvr" /u "$P/libHVExt.so" >"$WORK/unreg.log" 2>&1 || fail "removal as an ordinary user failed: $(cat "$WORK/unreg.log")"
[ -z "$(find "$UH" -name 'halvonorvane-hvext*' -print -quit)" ] || fail "menus left after removal as an ordinary user"

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
