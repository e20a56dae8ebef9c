# The real-window tests' shared pieces, sourced after harness.sh: an X server of their
# own, finding windows by title and clicking their controls with xdotool, and what a failure shows.

# Starts Xvfb at DPI (96 unless given), the screen's and the desktop's, on the first display that is
# really free: -displayfd asks the server itself, where lock files can miss one that another process
# left running. -noreset: a server
# that resets when its last client leaves (an xdotool query, say) refuses a program that connects in
# that instant. Sets DISPLAY and xvfb (the server's pid); the caller's cleanup kills it.
start_xvfb() { # work-folder [dpi]
  rm -f "$1/display" # a server started before must not be taken for this one
  Xvfb -displayfd 3 -screen 0 1600x1200x24 -dpi "${2:-96}" -nolisten tcp -noreset 3>"$1/display" 2>"$1/xvfb.log" &
  xvfb=$!
  for _ in $(seq 200); do [ -s "$1/display" ] && break; sleep 0.05; done
  [ -s "$1/display" ] || fail "Xvfb did not start: $(tail -n 5 "$1/xvfb.log")"
  export DISPLAY=":$(head -n1 "$1/display")"
  # Qt takes the scaling from the Xft.dpi resource, as X desktops set it, and since 5.15.15 no longer
  # from the screen's size in millimetres.
  printf 'Xft.dpi: %s\n' "${2:-96}" | xrdb -merge || fail "xrdb could not set Xft.dpi"
}

# Every visible window with a title or a class, a line each: its id, title, class and role, for a
# test that did not find the one it waited for to say what it found instead.
visible_windows() {
  local id title class
  for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null || true); do
    title=$(xdotool getwindowname "$id" 2>/dev/null || true)
    class=$(xprop -id "$id" WM_CLASS 2>/dev/null | sed -n 's/^WM_CLASS([^)]*) = //p')
    [ -n "$title$class" ] || continue
    printf "  %s '%s' %s %s\n" "$id" "$title" "$class" \
      "$(xprop -id "$id" WM_WINDOW_ROLE 2>/dev/null | sed -n 's/^WM_WINDOW_ROLE([^)]*) = //p')"
  done
}

# The id of the one visible window titled exactly $1, waiting up to twenty seconds for it.
window() {
  local ids
  for _ in $(seq 400); do
    ids=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true)
    if [ "$(printf '%s' "$ids" | grep -c .)" = 1 ]; then echo "$ids"; return 0; fi
    sleep 0.05
  done
  fail "expected one visible window titled '$1', found: '${ids}'"
}

# A screenshot named $1 in the folder $shots, where one is given (the Wine test takes one), a moment
# after what it shows: Wine paints a window a little after it is mapped.
shot() { [ -n "${shots:-}" ] && command -v import >/dev/null && sleep 0.5 && import -window root "$shots/$1.png" || true; }

# A failing test ends the program it started ($pid) and names every visible window, for the one it
# waited for in vain or found wrong.
on_failure() {
  [ -z "${pid:-}" ] || kill "$pid" 2>/dev/null || true
  echo "visible windows:"
  visible_windows
  shot failure
}

# How many windows of either title are mapped. The tests ask for at most one, once window() has found
# the one expected: a query just after it can find none for an instant (seen in the slow sanitizer
# build), which no user sees as two windows.
visible_count() {
  { xdotool search --onlyvisible --name '^Bufrex 2 $' 2>/dev/null; xdotool search --onlyvisible --name '^Analyze$' 2>/dev/null; } | grep -c . || true
}

# `length` times `scale`, rounded: where a point of a window drawn at 100 % is on a scaled screen.
scaled() { # length scale
  awk -v l="$1" -v s="$2" 'BEGIN { printf "%d", l * s + 0.5 }'
}

# The window must be `width` x `height` times `scale`, within a pixel: Qt scales by the exact factor,
# and the window system takes whole pixels.
window_is_scaled() { # window what width height scale
  eval "$(xdotool getwindowgeometry --shell "$1")"
  awk -v w="$WIDTH" -v h="$HEIGHT" -v W="$3" -v H="$4" -v s="$5" \
    'BEGIN { d = w - W * s; e = h - H * s; exit !(d <= 1 && d >= -1 && e <= 1 && e >= -1) }' ||
    fail "$2 is $WIDTH x $HEIGHT, not $3 x $4 times $5"
}

click() { # window x y
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Where the windows' controls are, in the windows' own pixels at 100 % (dialog.ui and analyze.ui).
declare -A control_at=(
  [pick]='245 51' # "เลือก Indicator"
  [buffer0]='38 188'
  [buffer2]='38 248'
  [shift]='126 130'
  [create]='270 205'
  [analyze]='270 265' # in the main window
  [back]='30 415'     # in the analysis window
)

# Clicks a control of `window`, drawn at `scale` (1 unless given).
click_on() { # window control [scale]
  local x y
  read -r x y <<<"${control_at[$2]:-}"
  [ -n "$y" ] || fail "no control named '$2'"
  click "$1" "$(scaled "$x" "${3:-1}")" "$(scaled "$y" "${3:-1}")"
}

# Esc in `window` must end the program `pid` (a child of the caller's) with exit code 0. On a busy
# machine a key sent just as the window is activated can be lost, so a program still running after 10 s
# gets Esc once more; a second Esc to a program that is ending does nothing.
escape_ends_program() { # window pid
  for _ in 1 2; do
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" 2>/dev/null || true
    xdotool key Escape
    for _ in $(seq 200); do kill -0 "$2" 2>/dev/null || break; sleep 0.05; done
    kill -0 "$2" 2>/dev/null || break
  done
  kill -0 "$2" 2>/dev/null && fail "Esc did not end the program"
  local code=0
  wait "$2" || code=$?
  [ "$code" = 0 ] || fail "exit code $code, not 0"
}
