# Sourced by the Wine harnesses, in a prefix's WINEPREFIX: Windows' Tahoma, the dialog font, carries the
# Thai letters and Wine's does not, so Wine is told to serve Tahoma with Loma, a Tahoma-like Thai font
# from Debian. Then the windows look under Wine as they do on Windows.
thai_tahoma() {
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /d Loma /f >/dev/null 2>&1
}
