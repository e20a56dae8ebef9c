#!/usr/bin/env bash
# The program in a real X server, driven by xdotool as a user would drive it.
#   realwindow.sh BUFREX smoke DESKTOP-FILE   starts, shows one 322 x 325 "Bufrex 2 " window whose
#                                     class is the menu entry's StartupWMClass, Esc ends it with 0
#   realwindow.sh BUFREX switch N     N clicks on "Analyze" and "Back" in turn, then Esc ends it with 0
#   realwindow.sh BUFREX scaled       at 125 % to 200 %, set by the screen's dpi or by QT_SCALE_FACTOR, both
#                                     windows are their 100 % size times the scale, within a pixel
source "$(dirname "$0")/harness.sh"
bufrex=$1 mode=$2 switches=0
[ "$mode" != switch ] || switches=$3

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is missing (the test set-up installs it)"
done

work=$(mktemp -d)
xvfb=
trap '[ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
source "$(dirname "$0")/xsession.sh"
unset QT_QPA_PLATFORM

if [ "$mode" = scaled ]; then
  # Laptops' 125 % and 150 % as well as whole scales, from the screen (as X desktops set it) and from
  # Qt's own factor (as a user may).
  for screen in 120:1 144:1 168:1 192:1 96:1.25 96:1.5 96:1.75 96:2; do
    dpi=${screen%%:*} factor=${screen#*:}
    scale=$(awk -v d="$dpi" -v f="$factor" 'BEGIN { print d / 96 * f }')
    start_xvfb "$work" "$dpi"
    QT_SCALE_FACTOR=$factor "$bufrex" &
    pid=$!
    main=$(window 'Bufrex 2 ')
    window_is_scaled "$main" "main window" 322 325 "$scale"
    click_on "$main" analyze "$scale"
    analyze=$(window 'Analyze')
    window_is_scaled "$analyze" "analysis window" 317 433 "$scale"
    escape_ends_program "$analyze" "$pid"
    pid=
    kill "$xvfb"; xvfb_stopped=$xvfb; xvfb=
    wait "$xvfb_stopped" 2>/dev/null || true
    echo "realwindow: $dpi dpi, Qt factor $factor: both windows at $scale times their size"
  done
  echo "realwindow: scaled passed"
  exit 0
fi

start_xvfb "$work"
"$bufrex" &
pid=$!
main=$(window 'Bufrex 2 ')
window_is_scaled "$main" "main window" 322 325 1
[ "$(visible_count)" -le 1 ] || fail "more than one window is visible at start"
if [ "$mode" = smoke ]; then
  # A dock finds the window's menu entry, with its icon and name, by the window's class.
  class=$(xprop -id "$main" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = ".*", "\(.*\)"$/\1/p')
  entry=$(sed -n 's/^StartupWMClass=//p' "$3")
  [ -n "$class" ] && [ "$class" = "$entry" ] || fail "the window's class '$class' is not the menu entry's '$entry'"
fi

current=$main
for ((i = 1; i <= switches; i++)); do
  if ((i % 2)); then
    click_on "$current" analyze
    current=$(window 'Analyze')
  else
    click_on "$current" back
    current=$(window 'Bufrex 2 ')
  fi
  [ "$(visible_count)" -le 1 ] || fail "after switch $i more than one window is visible"
done
((switches == 0)) || echo "realwindow: $switches switches, one window visible after each"

escape_ends_program "$current" "$pid"
pid=
echo "realwindow: $mode passed"
