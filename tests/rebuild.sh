#!/usr/bin/env bash
# The release files, built again later from the same source in a folder of another name, come out the
# same byte for byte: so anyone can check a download against the commit it was built from.
#   rebuild.sh deb SOURCE BUILD EPOCH       a Debian package of BUILD against one of a new build
#   rebuild.sh windows SOURCE BUILD EPOCH   BUILD's SHA256SUMS (exe, zip, installer) against a new build
source "$(dirname "$0")/harness.sh"
mode=$1 source=$(realpath "$2") build=$(realpath "$3") epoch=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -n "$epoch" ] || fail "the build knows no SOURCE_DATE_EPOCH"

# The source as it stands, its new files too, without its history: the time is the first build's.
copy=$work/another-folder-name
mkdir "$copy"
git -C "$source" ls-files -z --cached --others --exclude-standard |
  (cd "$source" && tar --null -T - -cf -) | tar -C "$copy" -xf -
export SOURCE_DATE_EPOCH=$epoch

case "$mode" in
  deb)
    type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
    (cd "$build" && step "cpack of the first build" cpack -G DEB -B "$work/first")
    step "configuring the second build" cmake -S "$copy" -B "$copy/build" -DCMAKE_BUILD_TYPE="$type" -DBUILD_TESTING=OFF
    step "the second build" cmake --build "$copy/build" -j"$(nproc)"
    (cd "$copy/build" && step "cpack of the second build" cpack -G DEB -B "$work/again")
    for deb in "$work"/first/*.deb; do
      cmp "$deb" "$work/again/${deb##*/}" || fail "${deb##*/} differs when built again"
    done
    echo "rebuild: $(cd "$work/again" && sha256sum ./*.deb)"
    ;;
  windows)
    [ -f "$build/SHA256SUMS" ] || fail "$build/SHA256SUMS is missing: scripts/windows.sh makes it"
    step "the second build (scripts/windows.sh)" bash "$copy/scripts/windows.sh" -DBUILD_TESTING=OFF
    (cd "$copy/build-windows" && sha256sum -c "$build/SHA256SUMS") || fail "files differ when built again"
    ;;
  *) fail "deb or windows" ;;
esac
echo "rebuild: built again later in a folder of another name, byte for byte the same"
