#!/usr/bin/env bash
# Makes the Debian package from a build and checks it without changing the machine: its name, its
# files, its dependencies, that apt can resolve them, and the desktop entry, the AppStream data and
# the package itself by their validators.
#   package.sh BUILD-FOLDER APP-ID
set -euo pipefail
build=$1 id=$2
for tool in cpack dpkg-deb apt-get desktop-file-validate appstreamcli lintian; do
  command -v "$tool" >/dev/null || { echo "package: $tool is missing (the test set-up installs it)"; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack failed"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb=$work/bufrex_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(cd "$work" && ls ./*.deb 2>/dev/null)"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

expected="./usr/bin/bufrex
./usr/share/applications/$id.desktop
./usr/share/doc/bufrex/changelog.gz
./usr/share/doc/bufrex/copyright
./usr/share/icons/hicolor/128x128/apps/$id.png
./usr/share/icons/hicolor/256x256/apps/$id.png
./usr/share/icons/hicolor/32x32/apps/$id.png
./usr/share/icons/hicolor/64x64/apps/$id.png
./usr/share/man/man1/bufrex.1.gz
./usr/share/metainfo/$id.metainfo.xml"
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
[ "$files" = "$expected" ] || fail "files are not the expected ones:
$(diff <(echo "$expected") <(echo "$files") || true)"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in fonts-thai-tlwg libqt5widgets5 libc6; do
  [[ ",$depends" == *", $needed"* || ",$depends" == *",$needed"* ]] || fail "Depends lacks $needed: $depends"
done
dpkg-deb -x "$deb" "$work/root"
grep -qx 'Exec=bufrex' "$work/root/usr/share/applications/$id.desktop" || fail "the menu entry does not start bufrex"
grep -qx "Icon=$id" "$work/root/usr/share/applications/$id.desktop" || fail "the menu entry has not the icon $id"

apt-get install -s "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt cannot install it"; }
grep -q '^Inst bufrex ' "$work/apt.log" || { cat "$work/apt.log"; fail "apt would not install bufrex"; }

desktop-file-validate "$work/root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml"
lintian --no-tag-display-limit "$deb" 2>&1 | grep -v 'running with root privileges' | tee "$work/lintian.log" || true
! grep -q '^E:' "$work/lintian.log" || fail "lintian reports errors"
echo "package: files, dependencies, apt, desktop-file-validate, appstreamcli and lintian pass"
