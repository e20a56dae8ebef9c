#!/usr/bin/env bash
# Installs the Debian packages Bufrex needs that are not there yet.
#   setup.sh build     what building and running takes
#   setup.sh qt        what building Qt for Windows from Debian's source takes
#   setup.sh windows   that, and what building the Windows program and running it under Wine takes
#   setup.sh package   what making the Debian package takes (cpack -G DEB in the build folder)
#   setup.sh test      all of that, and what the tests take
set -euo pipefail

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
mode=${1:-build}

packages=(cmake make g++ qtbase5-dev fonts-tlwg-sawasdee)
qt=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 dpkg-dev perl python3 qtbase5-dev-tools)
windows=("${qt[@]}" wine wine64 fonts-wine fonts-tlwg-loma xvfb xauth xdotool x11-utils x11-xserver-utils openbox xclip
  locales zip unzip icoutils imagemagick nsis)
package=(dpkg-dev file)
case "$mode" in
  build) ;;
  qt) packages+=("${qt[@]}") ;;
  package) packages+=("${package[@]}") ;;
  windows) packages+=("${windows[@]}") ;;
  test) packages+=("${windows[@]}" "${package[@]}" libxml2-utils desktop-file-utils appstream lintian devscripts
    python3-pyatspi dbus-x11 at-spi2-core qt5-gtk-platformtheme clang libclang-rt-dev) ;;
  *) echo "setup.sh: build, qt, package, windows or test" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
install_missing() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}
lists_know_missing() {
  apt-cache show "${missing[@]}" >/dev/null 2>&1 && ! apt-cache policy "${missing[@]}" | grep -q 'Candidate: (none)'
}
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  # The package lists are fetched anew only where apt knows no version of a package, or the install
  # fails without: test.sh installs in two steps, the second while Qt's source is being fetched.
  if ! { lists_know_missing && install_missing; }; then
    $sudo apt-get update -q
    install_missing
  fi
fi
[ "$mode" = build ] || [ "$mode" = package ] && exit 0

# Qt for Windows is built from Debian's source package, which apt finds through deb-src entries
# mirroring the deb ones: those of every deb822 .sources file (debian.sources, Ubuntu's ubuntu.sources)
# and of the one-line lists, wherever the system keeps them.
if ! apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources; then
  echo "Adding deb-src entries for Debian's source packages"
  shopt -s nullglob
  sources=(/etc/apt/sources.list.d/*.sources) lists=(/etc/apt/sources.list.d/*.list)
  shopt -u nullglob
  [ ! -f /etc/apt/sources.list ] || lists+=(/etc/apt/sources.list)
  # A stanza of each file at a time: awk ends a record at the end of its file.
  deb822=$(awk '
    BEGIN { RS = ""; ORS = "\n\n" }
    {
      n = split($0, line, "\n"); types = ""
      for (i = 1; i <= n; i++) if (line[i] ~ /^Types:/) types = line[i]
      if (types !~ /[: ]deb( |$)/ || types ~ /deb-src/) next
      stanza = ""
      for (i = 1; i <= n; i++) stanza = stanza (line[i] ~ /^Types:/ ? "Types: deb-src" : line[i]) (i < n ? "\n" : "")
      print stanza
    }' /dev/null "${sources[@]}")
  one_line=$(sed -n 's/^deb /deb-src /p' /dev/null "${lists[@]}")
  [ -n "$deb822$one_line" ] || { echo "setup.sh: apt has no deb entry to mirror with deb-src" >&2; exit 1; }
  [ -z "$deb822" ] || printf '%s\n' "$deb822" | $sudo tee /etc/apt/sources.list.d/bufrex-deb-src.sources >/dev/null
  [ -z "$one_line" ] || printf '%s\n' "$one_line" | $sudo tee /etc/apt/sources.list.d/bufrex-deb-src.list >/dev/null
  $sudo apt-get update -q
fi

# The same MinGW-w64 variant for Qt and for Bufrex: the one with posix threads.
if [ "$(readlink -f /usr/bin/x86_64-w64-mingw32-g++)" != /usr/bin/x86_64-w64-mingw32-g++-posix ]; then
  $sudo update-alternatives --set x86_64-w64-mingw32-gcc /usr/bin/x86_64-w64-mingw32-gcc-posix
  $sudo update-alternatives --set x86_64-w64-mingw32-g++ /usr/bin/x86_64-w64-mingw32-g++-posix
fi

[ "$mode" = qt ] && exit 0

# The locales that choose a system encoding: Wine takes its ANSI code page from them (localedef's
# character maps come with the package locales, in the Windows packages above).
for locale in th_TH.UTF-8 en_US.UTF-8; do
  name=${locale%%.*} charset=${locale#*.}
  normal=$(printf '%s' "$charset" | tr -d -- '-' | tr '[:upper:]' '[:lower:]')
  locale -a 2>/dev/null | grep -qx "$name.$normal" && continue
  echo "Generating locale $locale"
  $sudo localedef -i "$name" -f "$charset" "$locale"
done
