#!/usr/bin/env bash
# Makes the Debian package from a build and checks it without changing the machine: its name, its
# files, its dependencies, that apt can resolve them, and the desktop entry, the AppStream data and
# the package itself by their validators.
#   package.sh BUILD-FOLDER APP-ID
source "$(dirname "$0")/harness.sh"
build=$1 id=$2
for tool in cpack dpkg-deb apt-get desktop-file-validate appstreamcli lintian hardening-check; do
  command -v "$tool" >/dev/null || fail "$tool is missing (the test set-up installs it)"
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && step "cpack -G DEB" cpack -G DEB -B "$work")
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb=$work/bufrex_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(cd "$work" && ls ./*.deb 2>/dev/null)"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

expected="./usr/bin/bufrex
./usr/share/applications/$id.desktop
./usr/share/doc/bufrex/changelog.gz
./usr/share/doc/bufrex/copyright
./usr/share/doc/bufrex/guide.txt
./usr/share/icons/hicolor/128x128/apps/$id.png
./usr/share/icons/hicolor/256x256/apps/$id.png
./usr/share/icons/hicolor/32x32/apps/$id.png
./usr/share/icons/hicolor/48x48/apps/$id.png
./usr/share/icons/hicolor/64x64/apps/$id.png
./usr/share/man/man1/bufrex.1.gz
./usr/share/metainfo/$id.metainfo.xml"
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
[ "$files" = "$expected" ] || fail "files are not the expected ones:
$(diff <(echo "$expected") <(echo "$files") || true)"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in fonts-tlwg-sawasdee libqt5widgets5 libc6; do
  [[ ",$depends" == *", $needed"* || ",$depends" == *",$needed"* ]] || fail "Depends lacks $needed: $depends"
done
dpkg-deb -x "$deb" "$work/root"
grep -qx 'Exec=bufrex' "$work/root/usr/share/applications/$id.desktop" || fail "the menu entry does not start bufrex"
grep -qx "Icon=$id" "$work/root/usr/share/applications/$id.desktop" || fail "the menu entry has not the icon $id"
# The window's class, which a dock matches the entry by (the real-window test reads it off the window).
grep -qx 'StartupWMClass=bufrex' "$work/root/usr/share/applications/$id.desktop" || fail "the menu entry has no StartupWMClass=bufrex"
grep -q 'Using Bufrex with MetaTrader 4' "$work/root/usr/share/doc/bufrex/guide.txt" || fail "guide.txt is not the guide"

apt-get install -s "$deb" >"$work/apt.log" 2>&1 || fail "apt cannot install it: $(tail -n 15 "$work/apt.log")"
grep -q '^Inst bufrex ' "$work/apt.log" || { cat "$work/apt.log"; fail "apt would not install bufrex"; }

desktop-file-validate "$work/root/usr/share/applications/$id.desktop"
# No note either, but two that say nothing of the data: the maker's .example domain, which AppStream
# cannot tell from a reverse-DNS one, and a tag newer than the AppStream that validates (Debian 12's).
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" | tee "$work/appstream.log"
! grep -E '^[IWE]: ' "$work/appstream.log" | grep -vE ": (cid-maybe-not-rdns ${id//./\\.}|unknown-tag developer)\$" ||
  fail "appstreamcli notes something of the AppStream data"
lintian -I --no-tag-display-limit "$deb" 2>&1 | grep -v 'running with root privileges' | tee "$work/lintian.log" || true
! grep -q '^E:' "$work/lintian.log" || fail "lintian reports errors"
! grep -E 'hardening-|binary-has-unneeded-section' "$work/lintian.log" || fail "lintian finds the program short of Debian's build"

# Debian's hardening, read off the packaged program: every protection this Debian gives its own
# packages, as a small program built with its flags (dpkg-buildflags, hardening=+all) shows them. One
# it lacks there cannot be asked of Bufrex: control-flow and branch protection need start files with
# the CET property, which neither Debian 12's nor 13's have. Fortified calls show only where a buffer's
# size is known when compiling, so that one is read off the flags the build compiled with.
cat > "$work/reference.c" <<'EOF'
#include <stdio.h>
int main(int argc, char **argv)
{
    char line[256]; /* an array on the stack, which the stack protector guards */
    snprintf(line, sizeof line, "%s", argv[argc - 1]);
    puts(line);
    return 0;
}
EOF
(
  eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
  # shellcheck disable=SC2086 # the flags are words
  step "building the reference program" gcc $CPPFLAGS $CFLAGS $LDFLAGS -o "$work/reference" "$work/reference.c"
)
hardening-check "$work/reference" > "$work/reference.log" || true
hardening-check "$work/root/usr/bin/bufrex" | tee "$work/bufrex.log" || true
while IFS=: read -r protection verdict; do
  [[ $verdict == ' yes'* && $protection != *Fortify* ]] || continue
  grep -F "$protection:" "$work/bufrex.log" | grep -q ': no' && fail "$protection: this Debian gives it, Bufrex lacks it"
done < <(tail -n +2 "$work/reference.log")
grep -q -- '-D_FORTIFY_SOURCE=2' "$build/CMakeFiles/bufrex_core.dir/flags.make" || fail "not compiled with -D_FORTIFY_SOURCE=2"
echo "package: files, dependencies, apt, desktop-file-validate, appstreamcli, lintian and hardening-check pass"
