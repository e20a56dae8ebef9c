#!/usr/bin/env bash
# Runs a Windows program of the Windows build under Wine, as its tests run: in the build's own Wine
# prefix (made once, empty), on an X server of its own, and with a small volume of its own lent for
# the cases that need a full disk. The program's exit code is this script's.
#   wine.sh PROGRAM.exe [ARGUMENTS...]
# WINEPREFIX names the prefix; LC_ALL, when set, chooses Windows' ANSI code page; BUFREX_WINE_DPI,
# when set, the display scaling.
source "$(dirname "$0")/harness.sh"
: "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
work=$(mktemp -d)
xvfb=
as_root= # mounting takes root: a user who may sudo, as the README's commands allow, mounts through it
[ "$(id -u)" = 0 ] || as_root="sudo -n"
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  ! mountpoint -q "$work/volume" 2>/dev/null || $as_root umount "$work/volume"
  rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/wineprefix.sh"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=$wine_overrides

# Wine hands no QT_ variable on to Windows programs, and a QtTest program with no console of its own
# would report to the debugger only; the prefix's environment tells it to write its report. With no
# window manager on the test's X server, Wine would wait a second for one at every window shown or
# hidden; it need not manage the windows.
test_settings() {
  step "setting QT_FORCE_STDERR_LOGGING" wine reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /d 1 /f &&
    step "leaving the windows unmanaged" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
}

# A fresh prefix, made once; a half-made one is made again.
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.complete" ]; then
    make_prefix test_settings
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

source "$(dirname "$0")/xsession.sh"
start_xvfb "$work"
unset QT_QPA_PLATFORM

# Windows has no per-process file size limit, so a full disk is a real one: 1 MiB of its own.
mkdir "$work/volume"
if $as_root mount -t tmpfs -o "size=1m,uid=$(id -u),gid=$(id -g)" bufrex-small "$work/volume" 2>"$work/mount.log"; then
  export BUFREX_SMALL_VOLUME="Z:${work//\//\\}\\volume"
else
  echo "$harness: no small volume for the disk-full cases, which fail: $(cat "$work/mount.log")" >&2
fi

code=0
wine "$@" || code=$?
# A program that ends before it prints its first line (a crash at start) must be told from the harness.
[ "$code" = 0 ] || echo "$harness: $(basename "$1") under Wine ended with exit code $code" >&2
exit "$code"
