#!/usr/bin/env bash
# The Windows zip holds what dist/ holds, Bufrex's licence and guide and Qt's licence texts and the name of Qt's source among it,
# and the program unpacked from it into an empty folder starts in a fresh Wine prefix and ends on Esc.
#   windows-zip.sh ZIP DIST-FOLDER BUILT/bufrex.exe
# The real-window test (realwindow_wine) drives dist/'s program through its whole round; the zip holds
# those bytes unchanged, so here it has only to start from a folder of its own.
source "$(dirname "$0")/harness.sh"
zip=$(realpath -m "$1") dist=$(realpath -m "$2") built=$(realpath -m "$3")
[ -f "$zip" ] || fail "$zip is missing: scripts/windows.sh makes it"
cmp -s "$dist/bufrex.exe" "$built" || fail "$dist/bufrex.exe is not the program just built: cmake --install again"
for tool in wine Xvfb xdotool openbox; do
  command -v "$tool" >/dev/null || fail "$tool is missing (the test set-up installs it)"
done
source "$(dirname "$0")/wineprefix.sh"
source "$(dirname "$0")/xsession.sh"
start_wine_session

mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$zip")
diff -rq "$dist" "$work/unpacked" >&2 || fail "the zip does not hold what dist/ holds"
for file in bufrex.exe LICENSE GUIDE.txt licenses/Qt/LICENSE.LGPL3 licenses/Qt/LICENSE.GPL3 licenses/Qt/QT-SOURCE.txt; do
  [ -f "$work/unpacked/$file" ] || fail "the zip lacks $file"
done
grep -q 'Debian source package qtbase-opensource-src' "$work/unpacked/licenses/Qt/QT-SOURCE.txt" ||
  fail "QT-SOURCE.txt does not name the Qt source"
echo "windows-zip: $(basename "$zip"), $(stat -c %s "$zip") bytes, unpacks to $(du -sb "$work/unpacked" | cut -f1) bytes"

wine "$work/unpacked/bufrex.exe" &
pid=$!
main=$(window 'Bufrex 2 ')
escape_ends_program "$main" "$pid"
pid=
echo "windows-zip: the program unpacked from the zip starts in a fresh prefix, and Esc ends it with exit code 0"
