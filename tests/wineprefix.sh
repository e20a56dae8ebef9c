# Sourced by the Wine harnesses, after harness.sh; run on its own, it makes their template (below).

# What Wine would start or offer in every session and no test needs: the installers of .NET and of
# the browser engine, and the menu builder, which at each start writes menu entries, file types and
# icons for the prefix's programs into the user's own desktop (~/.local/share, ~/.config/menus), and
# takes two fifths of a bare session's computing.
wine_overrides="mscoree,mshtml,winemenubuilder.exe="

# Windows' Tahoma, the dialog font, carries the Thai letters and Wine's does not, so Wine is told to
# serve Tahoma with Loma, a Tahoma-like Thai font from Debian: then the windows look under Wine as
# they do on Windows. Needs WINEPREFIX.
thai_tahoma() {
  step "serving Tahoma with Loma" wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /d Loma /f
}

# A new Windows in WINEPREFIX, with Thai in its Tahoma.
boot_prefix() {
  DISPLAY= step "wineboot -i, making the Wine prefix $WINEPREFIX" wineboot -i && thai_tahoma &&
    step "wineserver -w, writing the Wine prefix" wineserver -w
}

# The new prefix that every test's is copied from, made once for all the tests of a build
# (BUFREX_WINE_TEMPLATE names it) and again when Wine's version changes: copying is a 30th of the time
# Wine takes to make one. scripts/test.sh has it made while the Linux tests run.
make_template() {
  local template=$BUFREX_WINE_TEMPLATE wine_version
  wine_version=$(wine --version) || return 1
  mkdir -p "$(dirname "$template")"
  (
    flock 9
    [ "$(cat "$template/.complete" 2>/dev/null)" = "$wine_version" ] && exit 0
    rm -rf "$template"
    WINEPREFIX=$template WINEDEBUG=-all WINEDLLOVERRIDES=$wine_overrides boot_prefix || { rm -rf "$template"; exit 1; }
    echo "$wine_version" >"$template/.complete"
  ) 9>"$template.lock"
}

# A new Windows in WINEPREFIX, copied from the template.
copy_prefix() {
  make_template && cp -a "$BUFREX_WINE_TEMPLATE" "$WINEPREFIX" && rm "$WINEPREFIX/.complete"
}

# Makes WINEPREFIX anew, empty as a new Windows is, then runs the function `settings`, if given, in
# it. Wine's first start can fail on its own: a prefix that could not be made is removed and made once
# more, and only a second failure fails the test.
make_prefix() { # [settings]
  local try
  for try in 1 2; do
    wineserver -k 2>/dev/null || true # a server left by the failed try would hold the old prefix
    rm -rf "$WINEPREFIX"
    if [ -n "${BUFREX_WINE_TEMPLATE:-}" ]; then copy_prefix; else boot_prefix; fi &&
      { [ $# = 0 ] || { "$1" && step "wineserver -w, writing the Wine prefix" wineserver -w; }; } && return 0
    [ "$try" = 2 ] || echo "$harness: the Wine prefix was not made; removing it and making it once more" >&2
  done
  echo "$harness: the Wine prefix could not be made twice" >&2
  return 1
}

# A fresh prefix in FOLDER/prefix; exports WINEPREFIX and keeps Wine quiet.
fresh_prefix() { # folder
  export WINEPREFIX=$1/prefix WINEDEBUG=-all WINEDLLOVERRIDES=$wine_overrides
  make_prefix
}

# Windows' display scaling for the prefix's programs from now on: 96 dpi is 100 %, 144 dpi 150 %.
set_dpi() { # dpi
  step "setting the display to $1 dpi" wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f &&
    step "wineserver -w, writing the dpi" wineserver -w
}

# A Wine session of the script's own: a new folder `work`, a fresh prefix in it and an X server
# (xsession.sh), all ended by the EXIT trap; `pid` is for the program the script starts.
start_wine_session() {
  work=$(mktemp -d)
  xvfb= pid=
  trap end_wine_session EXIT
  fresh_prefix "$work"
  start_xvfb "$work"
  start_window_manager
}

# A window manager, as every desktop has: Wine 10 maps and unmaps a window the window manager
# manages only as that acknowledges it, so without one a hidden window would stay on the screen.
start_window_manager() {
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.05
  done
  fail "openbox did not start: $(tail -n 5 "$work/openbox.log")"
}

# The EXIT trap of a script that runs a program (pid) in a fresh prefix on its own X server (xvfb),
# all in the folder work.
end_wine_session() {
  [ -z "${pid:-}" ] || kill "$pid" 2>/dev/null || true
  [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true
  [ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}

# Run on its own, it makes the template: wineprefix.sh FOLDER
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  source "$(dirname "$0")/harness.sh"
  [ $# = 1 ] || fail "usage: wineprefix.sh FOLDER, the template to make"
  BUFREX_WINE_TEMPLATE=$1 make_template
fi
