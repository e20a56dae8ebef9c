#!/usr/bin/env bash
# The Windows zip holds what dist/ holds, Bufrex's licence and guide and Qt's licence texts and the name of Qt's source among it,
# and the program unpacked from it into an empty folder runs in a fresh Wine prefix.
#   windows-zip.sh ZIP DIST-FOLDER BUILT/bufrex.exe
source "$(dirname "$0")/harness.sh"
zip=$(realpath -m "$1") dist=$(realpath -m "$2") built=$(realpath -m "$3")
[ -f "$zip" ] || fail "$zip is missing: scripts/windows.sh makes it"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$zip")
diff -rq "$dist" "$work/unpacked" >&2 || fail "the zip does not hold what dist/ holds"
for file in bufrex.exe LICENSE GUIDE.txt licenses/Qt/LICENSE.LGPL3 licenses/Qt/LICENSE.GPL3 licenses/Qt/QT-SOURCE.txt; do
  [ -f "$work/unpacked/$file" ] || fail "the zip lacks $file"
done
grep -q 'Debian source package qtbase-opensource-src' "$work/unpacked/licenses/Qt/QT-SOURCE.txt" ||
  fail "QT-SOURCE.txt does not name the Qt source"
echo "windows-zip: $(basename "$zip"), $(stat -c %s "$zip") bytes, unpacks to $(du -sb "$work/unpacked" | cut -f1) bytes"
bash "$(dirname "$0")/realwindow-wine.sh" "$work/unpacked/bufrex.exe" "$built"
