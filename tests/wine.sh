#!/usr/bin/env bash
# Runs a Windows program of the Windows build under Wine, as its tests run: in the build's own Wine
# prefix (made once, empty), on an X server of its own, and with a small volume of its own lent for
# the cases that need a full disk. The program's exit code is this script's.
#   wine.sh PROGRAM.exe [ARGUMENTS...]
# WINEPREFIX names the prefix; LC_ALL, when set, chooses Windows' ANSI code page; BUFREX_WINE_DPI,
# when set, the display scaling.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
xvfb=
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  mountpoint -q "$work/volume" 2>/dev/null && umount "$work/volume"
  rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/wineprefix.sh"

# A fresh prefix, made once; a half-made one is made again.
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.complete" ]; then
    rm -rf "$WINEPREFIX"
    DISPLAY= wineboot -i >/dev/null 2>&1
    # Wine hands no QT_ variable on to Windows programs, and a QtTest program with no console of its
    # own would report to the debugger only; the prefix's environment tells it to write its report.
    wine reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /d 1 /f >/dev/null 2>&1
    # With no window manager on the test's X server, Wine would wait a second for one at every
    # window shown or hidden; it need not manage the windows.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    thai_tahoma
    wineserver -w
    echo 96 > "$WINEPREFIX/.dpi"
    touch "$WINEPREFIX/.complete"
  fi
  # The display scaling, as Windows' own setting; set only when it changes, as Wine takes a moment.
  dpi=${BUFREX_WINE_DPI:-96}
  if [ "$(cat "$WINEPREFIX/.dpi")" != "$dpi" ]; then
    set_dpi "$dpi"
    echo "$dpi" > "$WINEPREFIX/.dpi"
  fi
) 9>"$WINEPREFIX.lock"

fail() { echo "wine.sh: $*"; exit 1; }
source "$(dirname "$0")/xsession.sh"
start_xvfb "$work"
unset QT_QPA_PLATFORM

# Windows has no per-process file size limit, so a full disk is a real one: 1 MiB of its own.
mkdir "$work/volume"
if mount -t tmpfs -o size=1m bufrex-small "$work/volume" 2>/dev/null; then
  export BUFREX_SMALL_VOLUME="Z:${work//\//\\}\\volume"
fi

code=0
wine "$@" || code=$?
exit "$code"
