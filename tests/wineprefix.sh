# Sourced by the Wine harnesses.

# Windows' Tahoma, the dialog font, carries the Thai letters and Wine's does not, so Wine is told to
# serve Tahoma with Loma, a Tahoma-like Thai font from Debian: then the windows look under Wine as
# they do on Windows. Needs WINEPREFIX.
thai_tahoma() {
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /d Loma /f >/dev/null 2>&1
}

# A fresh, empty prefix in FOLDER/prefix, as a new Windows is, with Thai in its Tahoma; exports
# WINEPREFIX and keeps Wine quiet.
fresh_prefix() { # folder
  export WINEPREFIX=$1/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  DISPLAY= wineboot -i >/dev/null 2>&1
  thai_tahoma
  wineserver -w
}

# Windows' display scaling for the prefix's programs from now on: 96 dpi is 100 %, 144 dpi 150 %.
set_dpi() { # dpi
  wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
}

# The EXIT trap of a script that runs a program (pid) in a fresh prefix on its own X server (xvfb),
# all in the folder work.
end_wine_session() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
