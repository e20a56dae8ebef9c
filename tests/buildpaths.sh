#!/usr/bin/env bash
# A release program holds no path of the machine that built it: not the source or build folder, not
# Qt's cache folder, no home folder. So anyone, anywhere, who builds the commit again gets its bytes.
#   buildpaths.sh PROGRAM FOLDER...        the program as built, e.g. bufrex.exe
#   buildpaths.sh deb BUILD FOLDER...      the program in the Debian package made from BUILD
source "$(dirname "$0")/harness.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
program=$1
shift
if [ "$program" = deb ]; then
  (cd "$1" && step "cpack -G DEB" cpack -G DEB -B "$work")
  shift
  dpkg-deb -x "$work"/*.deb "$work/root"
  program=$work/root/usr/bin/bufrex
fi

# Qt writes paths as 8-bit text, Windows as UTF-16.
{ strings -a "$program"; strings -a -el "$program"; } >"$work/strings"
for path in "$@" /root/ /home/; do
  ! grep -F -- "$path" "$work/strings" | head -n 3 | sed "s|^|  holds $path: |" | grep . >&2 ||
    fail "$(basename "$program") holds a path of the machine that built it"
done
echo "buildpaths: $(basename "$program") holds none of $* /root/ /home/"
