#!/usr/bin/env bash
# What a screen reader reads: the program on an X server of its own with the accessibility bus, its
# AT-SPI tree read in the main window and, after "Analyze", in the analysis window. Every text field
# must carry a name, unique within its window.
#   accessibility.sh BUFREX
source "$(dirname "$0")/harness.sh"
bufrex=$1
for tool in Xvfb xdotool dbus-launch /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || fail "$tool is missing (the test set-up installs it)"
done
/usr/bin/python3 -c 'import pyatspi' || fail "python3-pyatspi is missing"

work=$(mktemp -d)
xvfb= pid= bus=
cleanup() {
  for process in "$pid" "$bus" "${DBUS_SESSION_BUS_PID:-}" "$xvfb"; do
    [ -z "$process" ] || kill "$process" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/xsession.sh"
start_xvfb "$work"
unset QT_QPA_PLATFORM
eval "$(dbus-launch --sh-syntax)"
/usr/libexec/at-spi-bus-launcher --launch-immediately &
bus=$!
sleep 0.5

# Lists the program's text fields in the window titled $1: "name<TAB>role" per field; fails on none.
fields() {
  /usr/bin/python3 - "$1" <<'PY'
import sys, time, pyatspi
title = sys.argv[1]
def walk(node):
    for child in node:
        if child is None:
            continue
        if child.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_PASSWORD_TEXT):
            yield child
        yield from walk(child)
for _ in range(100):
    windows = [w for app in pyatspi.Registry.getDesktop(0) if app is not None
               for w in app if w is not None and w.name == title and w.getState().contains(pyatspi.STATE_SHOWING)]
    if windows:
        break
    time.sleep(0.1)
else:
    sys.exit("no window titled %r in the accessibility tree" % title)
for field in walk(windows[0]):
    print("%s\t%s" % (field.name, field.getRoleName()))
PY
}

check() { # title count
  local list
  list=$(fields "$1") || fail "$list"
  [ "$(grep -c . <<<"$list")" = "$2" ] || fail "'$1' shows $(grep -c . <<<"$list") text fields, not $2: $list"
  ! grep -q $'^\t' <<<"$list" || fail "'$1' has text fields without a name"
  [ -z "$(cut -f1 <<<"$list" | sort | uniq -d)" ] || fail "'$1' names two fields alike: $(cut -f1 <<<"$list" | sort | uniq -d)"
  echo "accessibility: '$1': $2 text fields, each named:"
  cut -f1 <<<"$list" | sed 's/^/  /'
}

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$bufrex" &
pid=$!
main=$(window 'Bufrex 2 ')
check 'Bufrex 2 ' 2
click_on "$main" analyze
window 'Analyze' >/dev/null
check 'Analyze' 18
