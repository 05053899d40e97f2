#!/usr/bin/env bash
# Usage (as root, on a Debian 12 machine or container):
#   tests/desktop/file-managers.sh BUILD [SHOTS] [--no-install] [--no-dolphin] [--restore]
#
# On demand, not in CI (it installs GNOME Files, Nemo, Dolphin, a window manager and a virtual X
# server). Builds the packages from BUILD (cpack builds the "preinstall" target: configure BUILD
# with -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON and build the installed targets first to keep the
# tests out of it), installs them with apt-get, and then, as a fresh unprivileged user with a fresh
# home, under Xvfb (display $HV_DISPLAY, default :77) with a window manager and a D-Bus session:
#   1. starts the program once (hnv), as a user would: the menus and the association appear;
#   2. for a plain file, a .hvnc file, a folder and a mixed selection, in GNOME Files and in Nemo:
#      and in Dolphin: selects the items, opens the context menu (Shift+F10), prints what the handler offers for
#      that selection and compares it with the entries read through the accessibility bus (where
#      the bus shows none, as under a bare Xvfb, the screenshots are compared by eye), activates
#      the first entry of ours from the keyboard and checks the command line a recording wrapper
#      received;
#   3. opens a .hvnc file in GNOME Files (Return on it, as a double-click) and checks that the
#      graphical program started with "-d -fp <file>";
#   4. runs the clean-up "hnv -ui", purges the packages, and shows that no menu entry, module or
#      association is left (files, GIO's default application, Nemo's menu).
# Screenshots of every step go to SHOTS (default ./file-manager-shots); look at them.
# The exit status is the number of failed checks. --no-dolphin leaves Dolphin out (it brings a
# large part of KDE with it); --restore purges at the end every package the script installed.
#
# --no-install, for a machine others are testing on: the packages are not installed (which would
# put the program's registration into /etc/xdg for everybody); the user runs the programs from
# BUILD/bin, the GNOME Files module is put into the extension folder for the run only, and step 4
# checks what the clean-up leaves instead of the purge.
set -uo pipefail
BUILD=$(cd "${1:?usage: $0 BUILD [SHOTS] [--no-install]}" && pwd)
SHOTS_ARG=${2:-file-manager-shots}
[[ "$SHOTS_ARG" != --* ]] || SHOTS_ARG=file-manager-shots
SHOTS=$(mkdir -p "$SHOTS_ARG" && cd "$SHOTS_ARG" && pwd)
INSTALL=1
[[ " $* " != *" --no-install "* ]] || INSTALL=0
DOLPHIN=1
[[ " $* " != *" --no-dolphin "* ]] || DOLPHIN=0
RESTORE=0
[[ " $* " != *" --restore "* ]] || RESTORE=1
export HV_DISPLAY=${HV_DISPLAY:-:77}
HERE=$(cd "$(dirname "$0")" && pwd)
[ "$(id -u)" -eq 0 ] || { echo "run as root: it installs packages and makes a user" >&2; exit 2; }
echo "screenshots: $SHOTS"

export DEBIAN_FRONTEND=noninteractive
installed_packages() { dpkg-query -W -f '${db:Status-Abbrev} ${Package}\n' | awk '$1 == "ii" { print $2 }' | sort; }
BEFORE=$(installed_packages)
apt-get install -y -qq --no-install-recommends nautilus nemo openbox xvfb xdotool imagemagick dbus-x11 \
    dbus-user-session python3-pyatspi gir1.2-atspi-2.0 at-spi2-core libglib2.0-bin >/dev/null || exit 2
[ "$DOLPHIN" = 0 ] || apt-get install -y -qq --no-install-recommends dolphin >/dev/null || exit 2

WORK=$(mktemp -d)
chmod 755 "$WORK"
USER_NAME=hvdesk$$
EXTDIR=$(pkg-config --variable=extensiondir libnautilus-extension-4 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/nautilus/extensions-4)
cleanup() {
    pkill -u "$USER_NAME" 2>/dev/null
    sleep 1
    userdel -r "$USER_NAME" 2>/dev/null
    [ "$INSTALL" = 1 ] || rm -f "$EXTDIR/libHVExtNautilus.so"
    rm -rf "$WORK"
    if [ "$RESTORE" = 1 ]; then
        local added
        added=$(comm -13 <(echo "$BEFORE") <(installed_packages))
        [ -z "$added" ] || apt-get purge -y -qq $added >/dev/null
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "$INSTALL" = 1 ]; then
    P=/usr/lib/halvonorvane
    cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 || { cat "$WORK/cpack.log"; exit 2; }
    apt-get install -y -qq "$WORK"/out/*.deb >/dev/null || exit 2
    echo "installed: $(cd "$WORK/out" && ls *.deb | tr '\n' ' ')"
else
    P=$BUILD/bin
    mkdir -p "$EXTDIR"
    cp "$P/libHVExtNautilus.so" "$EXTDIR/"
    echo "not installed: programs from $P, module in $EXTDIR for this run"
fi

useradd -m -d "$WORK/home" -s /bin/bash "$USER_NAME"
install -d -m 700 -o "$USER_NAME" -g "$USER_NAME" "$WORK/run"
cp "$HERE/atspi-menu.py" "$WORK/atspi-menu.py"
chmod 755 "$WORK/atspi-menu.py"

# --- What the user does, in a session of its own ---------------------------------------------
cat >"$WORK/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -uo pipefail
FAILS=0
fail() { echo "FAIL: $*"; FAILS=$((FAILS + 1)); }
ok() { echo "ok: $*"; }
shot() { import -window root "$SHOTS/$1.png" 2>/dev/null; }
export GTK_A11Y=atspi NO_AT_BRIDGE=0 GNOME_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
sleep 1
gsettings set org.gnome.desktop.interface toolkit-accessibility true 2>/dev/null

# 1. The first start.
printf 'desk-master-1\n' >"$HOME/mp"
"$P/hnv" --master-password-file "$HOME/mp" -rh >/dev/null 2>&1
ENTRY=$HOME/.local/share/applications/halvonorvane-hnvfile.desktop
grep -q "^Exec=\"$P/HalvoNorvane\" -d -fp %f$" "$ENTRY" && ok "association names the graphical program" ||
    fail "association: $(grep ^Exec "$ENTRY")"
[ -e "$HOME/.local/share/nemo/actions/halvonorvane-hvext-01-1.nemo_action" ] && ok "Nemo menus written at the first start" ||
    fail "no Nemo menus after the first start"

# The cases, an encrypted file made by the program itself.
C=$HOME/cases
mkdir -p "$C/plain" "$C/encrypted" "$C/folder/docs" "$C/mixed"
echo text >"$C/plain/it's a file.txt"
echo secret >"$C/encrypted/letter.txt"
"$P/hnv" --quiet --yes --master-password-file "$HOME/mp" -e -p "$C/encrypted" -f letter.txt >/dev/null 2>&1
rm -f "$C/encrypted/letter.txt"
echo inner >"$C/folder/docs/inner.txt"
echo a >"$C/mixed/a.txt"
cp "$C/encrypted/letter.txt.hvnc" "$C/mixed/b.hvnc"
[ -f "$C/encrypted/letter.txt.hvnc" ] || fail "no encrypted file to test with"

# Every menu start goes to a recording wrapper instead of the program.
mkdir -p "$HOME/records"
cat >"$HOME/record-program" <<'WRAP'
#!/bin/sh
printf '%s\n' "$@" >"$HOME/records/last"
WRAP
chmod 755 "$HOME/record-program"
CONF=$HOME/.config/Halvo-Soft/HalvoNorvane.conf
sed -i "s|^Module%20EXE%20Path=.*|Module%20EXE%20Path=$HOME/record-program|" "$CONF"

# The handler's offer for a selection, as labels (GNOME Files: the handler's own texts).
handler_labels() {
    python3 - "$@" <<'PY'
import ctypes, sys
import os
lib = ctypes.CDLL(os.environ["P"] + "/libHVExt.so")
lib.HVShlExtCreate.restype = ctypes.c_void_p
lib.HVShlExtInitialize.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p), ctypes.c_int]
lib.HVShlExtGetEntryCount.argtypes = [ctypes.c_void_p]
lib.HVShlExtGetEntry.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.POINTER(ctypes.c_char_p)]
h = lib.HVShlExtCreate()
paths = (ctypes.c_char_p * len(sys.argv[1:]))(*[p.encode() for p in sys.argv[1:]])
lib.HVShlExtInitialize(h, paths, len(sys.argv) - 1)
for i in range(lib.HVShlExtGetEntryCount(h)):
    text = ctypes.c_char_p()
    if lib.HVShlExtGetEntry(h, i, ctypes.byref(text)) > 0:
        print(text.value.decode())
PY
}
# The same for Nemo: the labels of the actions whose offer check passes.
nemo_labels() {
    local f n
    for f in "$HOME"/.local/share/nemo/actions/halvonorvane-hvext-*.nemo_action; do
        n=$(basename "$f" .nemo_action)
        n=${n##*-}
        "$P/hvext-launch" --offered "$n" "$@" && sed -n 's/^Name=//p' "$f"
    done
}

# The newest window of APP, activated and filling the screen; then a click into the view's empty
# part, everything selected and the context menu opened from the keyboard.
front_window() { # APP
    local w
    w=$(xdotool search --sync --onlyvisible --class "$1" | tail -n 1)
    xdotool windowactivate --sync "$w" windowmove --sync "$w" 0 0 windowsize --sync "$w" 1280 900 2>/dev/null
    sleep 1
    xdotool mousemove 760 560 click 1
    sleep 1
}
select_all_and_menu() { # APP
    sleep 8
    front_window "$1"
    xdotool key ctrl+a
    sleep 1
    # Dolphin opens its menu with the menu key only.
    if [ "$1" = dolphin ]; then xdotool key Menu; else xdotool key shift+F10; fi
    sleep 2
}

# KEYS: how the keyboard reaches the entry to activate from the opened menu (the accessibility
# bus is tried first).
menu_case() { # FM CASE ENTRY-TO-ACTIVATE KEYS
    local fm=$1 case=$2 entry=$3 keys=$4 app items expected
    local dir=$C/$case
    mapfile -t sel < <(find "$dir" -mindepth 1 -maxdepth 1 | sort)
    rm -f "$HOME/records/last"
    app=$fm
    case $fm in
    nautilus) nautilus --new-window "$dir" >/dev/null 2>&1 & ;;
    *) "$fm" "$dir" >/dev/null 2>&1 & ;;
    esac
    select_all_and_menu "$app"
    if [ "$fm" = dolphin ]; then
        # Dolphin: the submenu with the product's name holds the entries, as the handler words
        # them for a selection in general (the Nemo labels without the prefix). It stands just
        # above "Properties"; the keyboard opens it with its first entry chosen.
        expected=$(nemo_labels "${sel[@]}" | sed 's/^Halvo Norvane: //')
        shot "$fm-$case-menu"
        if [ "$entry" = - ]; then
            # A selection of .hvnc and other files: a static menu can offer nothing for it.
            echo "   known: Dolphin shows no entry for it; compare $SHOTS/$fm-$case-menu.png by eye"
            xdotool key Escape
            pkill -u "$(id -u)" -x "$app" 2>/dev/null
            sleep 2
            return
        fi
        xdotool key Up Up Right
        sleep 2
        items=$("$WORKDIR/atspi-menu.py" list "$app" 2>/dev/null | grep -F -x -f <(printf '%s\n' "$expected") || true)
        shot "$fm-$case-submenu"
    elif [ "$fm" = nautilus ]; then
        expected=$(handler_labels "${sel[@]}")
        shot "$fm-$case-menu"
        # The submenu: second to last; opened with the keyboard.
        xdotool key Up Up Right
        sleep 2
        items=$("$WORKDIR/atspi-menu.py" list "$app" 2>/dev/null | grep -F -x -f <(printf '%s\n' "$expected") || true)
        shot "$fm-$case-submenu"
    else
        expected=$(nemo_labels "${sel[@]}")
        items=$("$WORKDIR/atspi-menu.py" list "$app" 2>/dev/null | grep '^Halvo Norvane: ' || true)
        shot "$fm-$case-menu"
    fi
    echo "   $fm $case: the handler offers: $(echo $expected)"
    if [ -n "$expected" ] && [ "$items" = "$expected" ]; then
        ok "$fm $case: entries as the handler offers ($(echo "$expected" | wc -l))"
    elif [ -z "$items" ]; then
        echo "   $fm $case: the accessibility bus shows no entries: compare $SHOTS/$fm-$case-*menu.png by eye"
    else
        fail "$fm $case: shown [$(echo $items)] expected [$(echo $expected)]"
    fi
    "$WORKDIR/atspi-menu.py" click "$app" "$entry" >/dev/null 2>&1 || xdotool key $keys
    sleep 3
    local started=0
    [ -s "$HOME/records/last" ] && started=1
    if [ "$started" = 1 ]; then
        ok "$fm $case: '$entry' started: $(tr '\n' ' ' <"$HOME/records/last")"
    elif [ "${RETRIED:-0}" = 1 ]; then
        fail "$fm $case: '$entry' started nothing"
    fi
    shot "$fm-$case-after"
    xdotool key Escape
    pkill -u "$(id -u)" -x "$app" 2>/dev/null
    sleep 2
    # On a busy machine GNOME Files may still show "Loading..." when the keys come: once more,
    # with the folder known.
    if [ "$started" = 0 ] && [ "${RETRIED:-0}" = 0 ]; then
        echo "   $fm $case: nothing started (see $SHOTS/$fm-$case-menu.png): once more"
        RETRIED=1 menu_case "$@"
    fi
}

# GNOME Files' first start takes long (its search database starts with it): once without a check.
nautilus --new-window "$C" >/dev/null 2>&1 &
sleep 15
pkill -u "$(id -u)" -x nautilus 2>/dev/null
sleep 2

# The first entry of ours: GNOME Files' submenu opens with its title focused; in Nemo
# ours follow the two "Open With" entries of a file (a folder has more "Open" entries).
menu_case nautilus plain "Encrypt to it's a file.txt.hvnc" "Down Return"
menu_case nautilus encrypted "Decrypt letter.txt.hvnc" "Down Return"
menu_case nautilus folder "Encrypt selected data" "Down Return"
menu_case nautilus mixed "Encrypt selected data" "Down Return"
menu_case nemo plain "Halvo Norvane: Encrypt selected data" "Down Down Down Return"
menu_case nemo encrypted "Halvo Norvane: Decrypt selected data" "Down Down Down Return"
menu_case nemo folder "Halvo Norvane: Encrypt selected data" "Down Down Down Down Down Return"
menu_case nemo mixed "Halvo Norvane: Encrypt selected data" "Down Down Return"
if command -v dolphin >/dev/null; then
    menu_case dolphin plain "Encrypt selected data" Return
    menu_case dolphin encrypted "Decrypt selected data" Return
    menu_case dolphin folder "Encrypt selected data" Return
    menu_case dolphin mixed - ""
fi

# 3. A .hvnc file opened in GNOME Files, as a double-click does: the real graphical program.
nautilus --new-window "$C/encrypted" >/dev/null 2>&1 &
sleep 4
front_window nautilus
xdotool key ctrl+a Return
sleep 5
shot "nautilus-open-hvnc"
if pgrep -a -u "$(id -u)" HalvoNorvane | grep -q -- "-d -fp $C/encrypted/letter.txt.hvnc"; then
    ok "opening a .hvnc starts the graphical program to decrypt it"
else
    fail "opening a .hvnc: $(pgrep -a -u "$(id -u)" HalvoNorvane || echo nothing started)"
fi
pkill -u "$(id -u)" -x HalvoNorvane 2>/dev/null
pkill -u "$(id -u)" -x nautilus 2>/dev/null
sleep 1

# 4. The user's clean-up before the package goes.
sed -i "s|^Module%20EXE%20Path=.*|Module%20EXE%20Path=$P/HalvoNorvane|" "$CONF"
"$P/hnv" --master-password-file "$HOME/mp" --yes -ui >/dev/null 2>&1 || fail "hnv -ui failed"
echo "$FAILS" >"$HOME/fails"
SESSION

cat >"$WORK/after-purge.sh" <<'AFTER'
#!/usr/bin/env bash
FAILS=0
fail() { echo "FAIL: $*"; FAILS=$((FAILS + 1)); }
ok() { echo "ok: $*"; }
left=$(find "$HOME" -name 'halvonorvane*' 2>/dev/null)
[ -z "$left" ] && ok "nothing of ours in the home folder" || fail "left in the home folder: $left"
grep -q halvonorvane "$HOME/.config/mimeapps.list" 2>/dev/null && fail "mimeapps.list still names us" ||
    ok "no association in mimeapps.list"
def=$(gio mime application/x-hvnc 2>&1 | head -n 1)
case "$def" in *halvonorvane*) fail "GIO still has a default: $def" ;; *) ok "GIO: $def" ;; esac
export GTK_A11Y=atspi
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
mkdir -p "$HOME/after" && echo x >"$HOME/after/x.txt"
NEMO_DEBUG=Actions nemo "$HOME/after" >/dev/null 2>&1 &
sleep 4
w=$(xdotool search --sync --onlyvisible --class nemo | tail -n 1)
xdotool windowactivate --sync "$w" windowmove --sync "$w" 0 0 windowsize --sync "$w" 1280 900 2>/dev/null
xdotool mousemove 760 560 click 1
sleep 1
xdotool key ctrl+a shift+F10
sleep 2
import -window root "$SHOTS/nemo-after-purge.png" 2>/dev/null
shown=$("$WORKDIR/atspi-menu.py" list nemo 2>/dev/null | grep -c 'Halvo Norvane' || true)
[ "$shown" = 0 ] && ok "Nemo's menu holds nothing of ours" || fail "Nemo still shows $shown entries of ours"
pkill -u "$(id -u)" -x nemo 2>/dev/null
echo "$FAILS" >"$HOME/fails-after"
AFTER
chmod 755 "$WORK/session.sh" "$WORK/after-purge.sh"
chmod 777 "$SHOTS"

as_user_session() { # SCRIPT
    runuser -u "$USER_NAME" -- env -i PATH=/usr/bin:/bin HOME="$WORK/home" USER="$USER_NAME" \
        LANG=C.UTF-8 SHOTS="$SHOTS" WORKDIR="$WORK" XDG_RUNTIME_DIR="$WORK/run" P="$P" \
        HV_DISPLAY="$HV_DISPLAY" bash -c 'Xvfb "$HV_DISPLAY" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
                 X=$!; sleep 2; export DISPLAY=$HV_DISPLAY; openbox >/dev/null 2>&1 & W=$!; sleep 1
                 dbus-run-session -- "$0"; kill $W $X' "$1" 2>>"$WORK/desktop-stderr.log"
}
as_user_session "$WORK/session.sh"
FAILS=$(cat "$WORK/home/fails" 2>/dev/null || echo 1)

# --- The package goes ---------------------------------------------------------------------------
if [ "$INSTALL" = 1 ]; then
    apt-get purge -y -qq halvonorvane halvonorvane-nautilus >/dev/null
    left=$(dpkg -S halvonorvane 2>/dev/null; find /usr /etc -name '*halvonorvane*' -o -name 'libHVExt*' 2>/dev/null)
    if [ -z "$left" ]; then echo "ok: the purge left nothing in the system"; else echo "FAIL: left: $left"; FAILS=$((FAILS + 1)); fi
else
    rm -f "$EXTDIR/libHVExtNautilus.so"
fi
as_user_session "$WORK/after-purge.sh"
FAILS=$((FAILS + $(cat "$WORK/home/fails-after" 2>/dev/null || echo 1)))
echo "screenshots in $SHOTS; $FAILS failed check(s)"
exit "$FAILS"
