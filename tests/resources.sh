#!/usr/bin/env bash
# The Windows resource script must compile, and carry the icon and the manifest it promises.
source "$(dirname "$0")/harness.sh"
resources=$1
windres=$(command -v x86_64-w64-mingw32-windres) || fail "x86_64-w64-mingw32-windres is missing"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The host's C preprocessor stands in for MinGW's, which only the full cross compiler brings.
rc() { "$windres" --preprocessor=cpp --preprocessor-arg=-xc -I "$resources" -i "$resources/bufrex.rc" "$@"; }
rc -O coff -o "$out/bufrex.o"
rc -O rc -o "$out/decompiled.rc"
grep -q 'Name: "IDI_ICON1"' "$out/decompiled.rc" || fail "no icon group IDI_ICON1"
grep -q '^1 24 /\* RT_MANIFEST' "$out/decompiled.rc" || fail "no application manifest"

# ICO header: one image, 32 x 32, 16 colours, 4 bits a pixel.
read -r reserved type count width height colours _ planes bits < <(od -An -tu1 -N14 -j0 "$resources/bufrex.ico" |
  awk '{print $1+256*$2, $3+256*$4, $5+256*$6, $7, $8, $9, $10, $11+256*$12, $13+256*$14}')
[ "$type $count $width $height $colours $bits" = "1 1 32 32 16 4" ] ||
  fail "icon is not one 32 x 32, 16-colour image"

grep -q 'requestedExecutionLevel level="asInvoker"' "$resources/bufrex.manifest"
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$resources/bufrex.manifest"
command -v xmllint >/dev/null && xmllint --noout "$resources/bufrex.manifest"
echo "resources: bufrex.rc compiles with icon and manifest"
