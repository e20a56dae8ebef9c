#!/usr/bin/env bash
# The program with GTK's file chooser, which Debian's Qt shows on GNOME, XFCE, Cinnamon and MATE, in a
# real X server, driven by xdotool as a user would drive it:
#   realwindow-gtk.sh BUFREX
# In a terminal folder whose path holds a point (as a Wine prefix's does) and in one whose path holds
# none, the indicator picked by its path and only a name typed in the save dialog:
# - "reader" and "NonLagMA_v7.1", a version's point in it, with no such script there: reader.mq4 and
#   NonLagMA_v7.1.mq4 are written, and nothing else lands in MQL4/Scripts;
# - "NonLagMA_v7.1" with the trader's own NonLagMA_v7.1.mq4 there: it is unchanged while Bufrex asks
#   whether to replace it, unchanged after No, which opens the chooser again, and replaced after Yes;
# - "reader.mq4", typed with its suffix, with reader.mq4 there: GTK's chooser asks itself, Enter chooses
#   its Replace, and Bufrex asks nothing more;
# - "notes.txt", another suffix: it is written as notes.txt.mq4;
# - Esc ends the program with 0, and Qt's settings store is not left behind.
source "$(dirname "$0")/harness.sh"
bufrex=$1
for tool in Xvfb xdotool xprop; do
  command -v "$tool" >/dev/null || fail "$tool is missing (the test set-up installs it)"
done

work=$(mktemp -d)
plain=$(mktemp -d /tmp/bufrexgtkXXXXXX)
xvfb=
trap '[ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true; rm -rf "$work" "$plain"' EXIT
source "$(dirname "$0")/xsession.sh"
unset QT_QPA_PLATFORM
# GTK's chooser as a GNOME session gets it; a home of the test's own, for what GTK and Qt keep there.
export QT_QPA_PLATFORMTHEME=gtk3 NO_AT_BRIDGE=1 HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME"
start_xvfb "$work"

role_of() { xprop -id "$1" WM_WINDOW_ROLE 2>/dev/null || true; }

# The id of the visible window titled $1 that is (chooser) or is not (other) GTK's file chooser,
# within $3 seconds (20 unless given); none then: a failure, or with a fourth argument an exit code 1.
find_window() { # title chooser|other [seconds [may-be-absent]]
  local id
  for _ in $(seq $((${3:-20} * 20))); do
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true); do
      if grep -q GtkFileChooserDialog <<<"$(role_of "$id")"; then
        [ "$2" = chooser ] && { echo "$id"; return 0; }
      else
        [ "$2" = other ] && { echo "$id"; return 0; }
      fi
    done
    sleep 0.05
  done
  [ $# -lt 4 ] || return 1
  fail "no $2 window titled '$1' (with Qt's own dialog instead of GTK's: is qt5-gtk-platformtheme installed?)"
}

# Presses the control $2 of window $1 until GTK's chooser titled $3 opens: a click sent while a
# busy machine is still mapping the window, or making GTK's first chooser, can be lost.
chooser_from() { # window control title
  local press
  for press in 1 2 3; do
    click_on "$1" "$2"
    if find_window "$3" chooser 10 may-be-absent; then
      [ "$press" = 1 ] || echo "realwindow-gtk: the chooser '$3' was found only after press $press" >&2
      return 0
    fi
  done
  find_window "$3" chooser 1
}

# Whether the window $1 is unmapped within $2 seconds.
closes() { # id seconds
  for _ in $(seq $(($2 * 20))); do
    xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.05
  done
  return 1
}

# The id of the question GTK's chooser $1 asks before it replaces a file, once it shows within three
# seconds: a dialog window, other than the chooser, that is transient for it (the name's completion
# list is too, but is no dialog).
gtk_question() { # chooser
  local id
  for _ in $(seq 60); do
    for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null || true); do
      [ "$id" != "$1" ] || continue
      xprop -id "$id" WM_TRANSIENT_FOR _NET_WM_WINDOW_TYPE 2>/dev/null |
        awk -v chooser="$(printf '0x%x' "$1")" '
          /^WM_TRANSIENT_FOR/ && $NF == chooser { transient = 1 }
          /^_NET_WM_WINDOW_TYPE/ && /_NET_WM_WINDOW_TYPE_DIALOG/ { dialog = 1 }
          END { exit !(transient && dialog) }' && { echo "$id"; return 0; }
    done
    sleep 0.05
  done
  return 1
}

focus() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"; sleep 0.3; }

# Types $2 into the name box of the chooser $1 (an id, or its title), in place of what it holds, and
# presses Return until the chooser closes: GTK's completion of the name may take the first one.
answer_chooser() { # chooser text
  local chooser=$1
  [[ $chooser =~ ^[0-9]+$ ]] || chooser=$(find_window "$1" chooser)
  focus "$chooser"
  xdotool key ctrl+a
  xdotool type --delay 20 "$2"
  sleep 0.3
  for _ in 1 2 3; do
    xdotool key Return
    closes "$chooser" 3 && return 0
  done
  fail "the chooser '$1' did not take '$2'"
}

# Picks the indicator at $1 and presses Create with buffer 0 ticked: the main window's input starts
# afresh after every Create.
pick_and_create() { # indicator
  local chooser
  chooser=$(chooser_from "$main" pick 'Open Indicator')
  answer_chooser "$chooser" "$1"
  click_on "$main" buffer0
  chooser_from "$main" create 'Save Script' >/dev/null
}

# Waits for the file $1 to begin with the script, then closes the report box.
script_written() { # file
  for _ in $(seq 200); do
    [ "$(head -c 24 "$1" 2>/dev/null)" = '#include <WinUser32.mqh>' ] && break
    sleep 0.05
  done
  [ "$(head -c 24 "$1" 2>/dev/null)" = '#include <WinUser32.mqh>' ] || fail "$1 does not hold the script"
  sleep 0.5
  xdotool key Return                        # "Script Has Been Create"
  sleep 0.5
}

# MQL4/Scripts must hold exactly the files named.
only_scripts() { # scripts-folder file...
  local files expected
  files=$(ls -A "$1" | LC_ALL=C sort | tr '\n' ' ')
  expected=$(printf '%s\n' "${@:2}" | LC_ALL=C sort | tr '\n' ' ')
  [ "$files" = "$expected" ] || fail "MQL4/Scripts holds '$files', not just '$expected'"
}

unchanged() { # file what
  [ "$(cat "$1")" = "the trader's own script" ] || fail "$(basename "$1") changed $2"
}

case "$plain" in *.*) fail "the folder $plain was to hold no point" ;; esac
for root in "$work/home/.wine/drive_c/MT4" "$plain/MT4"; do
  scripts=$root/MQL4/Scripts
  mkdir -p "$root/MQL4/Indicators" "$scripts"
  printf 'indicator' >"$root/MQL4/Indicators/ZigZag.ex4"
  "$bufrex" &
  pid=$!
  main=$(window 'Bufrex 2 ')

  # No script yet: "reader" lands as reader.mq4, and a name with a version's point gets .mq4 too.
  pick_and_create "$root/MQL4/Indicators/ZigZag.ex4"
  answer_chooser 'Save Script' reader
  script_written "$scripts/reader.mq4"
  only_scripts "$scripts" reader.mq4
  pick_and_create "$root/MQL4/Indicators/ZigZag.ex4"
  answer_chooser 'Save Script' NonLagMA_v7.1
  script_written "$scripts/NonLagMA_v7.1.mq4"
  only_scripts "$scripts" reader.mq4 NonLagMA_v7.1.mq4

  # The trader's own NonLagMA_v7.1.mq4: asked about, kept after No, replaced after Yes.
  printf "the trader's own script" >"$scripts/NonLagMA_v7.1.mq4"
  pick_and_create "$root/MQL4/Indicators/ZigZag.ex4"
  answer_chooser 'Save Script' NonLagMA_v7.1
  asked=$(find_window 'Save Script' other)
  unchanged "$scripts/NonLagMA_v7.1.mq4" "before the answer"
  focus "$asked"
  xdotool key Return                        # No, the default
  closes "$asked" 5 || fail "the question did not close on No"
  unchanged "$scripts/NonLagMA_v7.1.mq4" "after No"
  answer_chooser 'Save Script' NonLagMA_v7.1 # the chooser again, on NonLagMA_v7.1.mq4
  asked=$(find_window 'Save Script' other)
  unchanged "$scripts/NonLagMA_v7.1.mq4" "before the second answer"
  focus "$asked"
  xdotool key y                             # Yes
  script_written "$scripts/NonLagMA_v7.1.mq4"
  only_scripts "$scripts" reader.mq4 NonLagMA_v7.1.mq4

  # Typed with its .mq4, the name is the chooser's to ask about: GTK's own question, Cancel or Replace,
  # where Enter replaces, and Bufrex asks nothing more.
  printf "the trader's own script" >"$scripts/reader.mq4"
  pick_and_create "$root/MQL4/Indicators/ZigZag.ex4"
  chooser=$(find_window 'Save Script' chooser)
  focus "$chooser"
  xdotool key ctrl+a
  xdotool type --delay 20 reader.mq4
  sleep 0.3
  asked=
  for _ in 1 2 3; do                        # GTK's completion of the name may take the first Return
    xdotool key Return
    asked=$(gtk_question "$chooser") && break
  done
  [ -n "$asked" ] || fail "GTK's chooser did not ask before replacing reader.mq4"
  unchanged "$scripts/reader.mq4" "before GTK's question was answered"
  focus "$asked"
  xdotool key Return                        # Replace, GTK's default
  script_written "$scripts/reader.mq4"
  only_scripts "$scripts" reader.mq4 NonLagMA_v7.1.mq4

  # Another suffix is no script's: notes.txt lands as notes.txt.mq4.
  pick_and_create "$root/MQL4/Indicators/ZigZag.ex4"
  answer_chooser 'Save Script' notes.txt
  script_written "$scripts/notes.txt.mq4"
  only_scripts "$scripts" reader.mq4 NonLagMA_v7.1.mq4 notes.txt.mq4

  escape_ends_program "$main" "$pid"
  pid=
  echo "realwindow-gtk: $root: reader.mq4 and NonLagMA_v7.1.mq4 written; NonLagMA_v7.1.mq4 asked about, kept after No and replaced after Yes; reader.mq4 replaced after Enter on GTK's question; notes.txt.mq4 written"
done
[ ! -e "$XDG_CONFIG_HOME/QtProject.conf" ] || fail "Qt's settings store was left behind: $(cat "$XDG_CONFIG_HOME/QtProject.conf")"
echo "realwindow-gtk: passed"
