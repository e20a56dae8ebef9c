#!/usr/bin/env bash
# The Windows program as a user gets it, in a fresh, empty Wine prefix on an X server of its own,
# driven by xdotool through Windows' own file dialogs:
#   realwindow-wine.sh DIST/bufrex.exe BUILT/bufrex.exe [SCREENSHOTS-FOLDER]
# - the window "Bufrex 2 " appears at 322 x 325 and, like "Analyze", shows the icon IDI_ICON1;
# - in the open dialog, walked into a terminal's MQL4\Indicators\Market and ZigZag.ex4 picked there;
#   buffers 0 and 2, shift 1, and only "reader" typed in the save dialog: the script lands in that
#   terminal's MQL4\Scripts as reader.mq4, the 598-byte worked example for Market\ZigZag; then
#   "NonLagMA_v7.1" typed lands beside it as NonLagMA_v7.1.mq4, and nothing else; "reader" typed
#   again over the trader's own reader.mq4 is asked about by the dialog alone, and Enter replaces it;
# - Analyze, then Back: one window visible;
# - Esc ends the program with exit code 0, and the user's registry holds nothing of Qt's or Bufrex's;
# - at 125 % to 200 % display scaling (Windows' dpi setting) both windows grow by the scale.
# Wine serves Tahoma with a Thai font, as Windows' Tahoma has the Thai letters.
source "$(dirname "$0")/harness.sh"
exe=$(realpath -m "$1") built=$(realpath -m "$2") shots=${3:+$(realpath -m "$3")}
for tool in wine Xvfb xdotool xprop; do
  command -v "$tool" >/dev/null || fail "$tool is missing (the test set-up installs it)"
done
[ -f "$exe" ] || fail "$exe is missing: cmake --install puts it there"
cmp -s "$exe" "$built" || fail "$exe is not the program just built: cmake --install again"

source "$(dirname "$0")/wineprefix.sh"
source "$(dirname "$0")/xsession.sh"

start_wine_session

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

gone() {
  for _ in $(seq 400); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.05
  done
  fail "window '$1' did not close"
}
# Wine shows a window a moment after the click that asks for it.
click_and_wait() { # window control [scale]
  click_on "$@"
  sleep 0.3
}
# Qt gives every window the program's IDI_ICON1, which Wine hands to X.
has_icon() { # window title
  local icon
  icon=$(xprop -id "$1" _NET_WM_ICON)
  grep -q 'Icon (32 x 32)' <<<"$icon" || fail "window $2 shows no 32 x 32 icon"
}
# Windows' own file dialogs: each entry typed into the name box in place of what it holds and
# confirmed with Return, as a user walks into a folder (a whole path goes there at once) and then
# names the file. (Wine's dialog keeps a folder's path in the box once it has walked into it.)
answer_file_dialog() { # title entry...
  local dialog title=$1 entry
  shift
  dialog=$(window "$title")
  xdotool windowactivate --sync "$dialog" 2>/dev/null || xdotool windowfocus --sync "$dialog"
  sleep 0.5
  for entry in "$@"; do
    xdotool key ctrl+a
    xdotool type --delay 20 "$entry"
    xdotool key Return
    sleep 0.5
  done
  gone "$title"
}

terminal=$work/terminal/MQL4
mkdir -p "$terminal/Indicators/Market" "$terminal/Scripts"
printf 'indicator' > "$terminal/Indicators/Market/ZigZag.ex4"

cd "$work"
wine "$exe" &
pid=$!
main=$(window 'Bufrex 2 ')
window_is_scaled "$main" "main window" 322 325 1
[ "$(visible_count)" -le 1 ] || fail "more than one window is visible at start"
has_icon "$main" "'Bufrex 2 '"
shot main-window

click_and_wait "$main" pick
answer_file_dialog 'Open Indicator' "$(windows_path "$terminal/Indicators/Market")" ZigZag.ex4
click_and_wait "$main" buffer0
click_and_wait "$main" buffer2
click_and_wait "$main" shift
xdotool key ctrl+a
xdotool type 1
click_and_wait "$main" create
answer_file_dialog 'Save Script' reader     # Windows' dialog adds the filter's .mq4
window 'bufrex' >/dev/null            # the untitled box: Windows names it after the program
xdotool key Return
sleep 0.5

script=$terminal/Scripts/reader.mq4
[ -f "$script" ] || fail "no script in MQL4\\Scripts; .mq4 files in the terminal: $(cd "$work" && find . -name '*.mq4')"
size=$(stat -c %s "$script")
[ "$size" = 598 ] || fail "the script is $size bytes, not 598"
# The indicator's name as the script's strings spell it: Market\\ZigZag.
cmp -s "$script" <(sed 's/ZigZag/Market\\\\ZigZag/g' "$(dirname "$0")/data/worked-example.mq4") ||
  fail "the script is not the worked example for Market\\ZigZag"

# A name with a version's point: Windows' dialog gives it the filter's .mq4 all the same.
click_and_wait "$main" pick
answer_file_dialog 'Open Indicator' "$(windows_path "$terminal/Indicators/Market")" ZigZag.ex4
click_and_wait "$main" buffer0
click_and_wait "$main" create
answer_file_dialog 'Save Script' NonLagMA_v7.1
window 'bufrex' >/dev/null
xdotool key Return
sleep 0.5
scripts=$(ls -A "$terminal/Scripts" | LC_ALL=C sort | tr '\n' ' ')
[ "$scripts" = "NonLagMA_v7.1.mq4 reader.mq4 " ] || fail "MQL4\\Scripts holds $scripts, not NonLagMA_v7.1.mq4 and reader.mq4"

# "reader" again, over the trader's own reader.mq4: Windows' own dialog asks (Wine's in a box titled as
# the dialog, Yes its default), Enter replaces it, and Bufrex asks nothing more.
printf "the trader's own script" > "$terminal/Scripts/reader.mq4"
click_and_wait "$main" pick
answer_file_dialog 'Open Indicator' "$(windows_path "$terminal/Indicators/Market")" ZigZag.ex4
click_and_wait "$main" buffer0
click_and_wait "$main" create
dialog=$(window 'Save Script')
xdotool windowactivate --sync "$dialog" 2>/dev/null || xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 reader
xdotool key Return
for _ in $(seq 200); do
  [ "$(xdotool search --onlyvisible --name '^Save Script$' 2>/dev/null | grep -c .)" = 2 ] && break
  sleep 0.05
done
[ "$(xdotool search --onlyvisible --name '^Save Script$' 2>/dev/null | grep -c .)" = 2 ] ||
  fail "Windows' dialog did not ask before replacing reader.mq4"
[ "$(cat "$terminal/Scripts/reader.mq4")" = "the trader's own script" ] || fail "reader.mq4 was replaced before the answer"
sleep 0.5
for _ in 1 2 3; do                                 # Yes, the default: again should a busy machine lose it
  xdotool key Return
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^bufrex$' >/dev/null 2>&1 && break 2
    sleep 0.05
  done
done
window 'bufrex' >/dev/null                         # "Script Has Been Create", and no question of Bufrex's
xdotool key Return
sleep 0.5
[ "$(head -c 24 "$terminal/Scripts/reader.mq4")" = '#include <WinUser32.mqh>' ] || fail "reader.mq4 was not replaced after Enter"

click_and_wait "$main" analyze
analyze=$(window 'Analyze')
has_icon "$analyze" Analyze
[ "$(visible_count)" -le 1 ] || fail "after Analyze more than one window is visible"
shot analyze-window
click_and_wait "$analyze" back
main=$(window 'Bufrex 2 ')
[ "$(visible_count)" -le 1 ] || fail "after Back more than one window is visible"

escape_ends_program "$main" "$pid"
pid=
# A portable program leaves no trace outside its folder: nothing of Qt's or Bufrex's in the user's
# registry after a pick and a save (Windows' own dialogs keep their recent folders, as for any program).
wineserver -w
traces=$(grep -i -E '^\[.*(qtproject|bufrex)' "$WINEPREFIX/user.reg" | grep -v -i 'ComDlg32' || true)
[ -z "$traces" ] || fail "the user's registry holds $traces"
echo "realwindow-wine: the worked example through Windows' dialogs into MQL4\\Scripts, one window after each switch, Esc gives 0, no registry key left"

# Windows' display scaling, 125 % to 200 %: both windows grow by its factor.
for percent in 125 150 175 200; do
  scale=$(awk -v p="$percent" 'BEGIN { print p / 100 }')
  set_dpi $((96 * percent / 100))
  wine "$exe" &
  pid=$!
  main=$(window 'Bufrex 2 ')
  window_is_scaled "$main" "main window at $percent %" 322 325 "$scale"
  shot "main-window-$percent"
  click_and_wait "$main" analyze "$scale"
  analyze=$(window 'Analyze')
  window_is_scaled "$analyze" "analysis window at $percent %" 317 433 "$scale"
  shot "analyze-window-$percent"
  escape_ends_program "$analyze" "$pid"
  pid=
done
echo "realwindow-wine: at 125, 150, 175 and 200 % both windows are their size times the scale"
