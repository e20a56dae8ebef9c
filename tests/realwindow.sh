#!/usr/bin/env bash
# The program in a real X server, driven by xdotool as a user would drive it.
#   realwindow.sh BUFREX smoke        starts, shows one 322 x 325 "Bufrex 2 " window, Esc ends it with 0
#   realwindow.sh BUFREX switch N     N clicks on "Analyze" and "Back" in turn, then Esc ends it with 0
#   realwindow.sh BUFREX scaled       on a 192-dpi screen (200 %) the window is twice the size, 644 x 650
set -euo pipefail
bufrex=$1 mode=$2 switches=${3:-0}

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "realwindow: $tool is missing (the test set-up installs it)"; exit 1; }
done

dpi=96
[ "$mode" = scaled ] && dpi=192
work=$(mktemp -d)
xvfb=
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "realwindow: $*"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; exit 1; }
source "$(dirname "$0")/xsession.sh"
start_xvfb "$work" "$dpi"
unset QT_QPA_PLATFORM

"$bufrex" &
pid=$!
main=$(window 'Bufrex 2 ')
eval "$(xdotool getwindowgeometry --shell "$main")"
scale=$((dpi / 96))
[ "$WIDTH" = $((322 * scale)) ] && [ "$HEIGHT" = $((325 * scale)) ] ||
  fail "main window is ${WIDTH} x ${HEIGHT}, not $((322 * scale)) x $((325 * scale))"
[ "$(visible_count)" -le 1 ] || fail "more than one window is visible at start"

current=$main
for ((i = 1; i <= switches; i++)); do
  if ((i % 2)); then
    click "$current" 270 265          # "Analyze" in the main window
    current=$(window 'Analyze')
  else
    click "$current" 30 415           # "Back" in the analysis window
    current=$(window 'Bufrex 2 ')
  fi
  [ "$(visible_count)" -le 1 ] || fail "after switch $i more than one window is visible"
done
((switches == 0)) || echo "realwindow: $switches switches, one window visible after each"

escape_ends_program "$current" "$pid"
pid=
echo "realwindow: $mode passed"
