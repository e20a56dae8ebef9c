#!/usr/bin/env bash
# Installs the Debian packages Bufrex needs that are not there yet.
#   setup.sh build   what building and running takes
#   setup.sh test    that, and what the tests take
set -euo pipefail

packages=(cmake make g++ qtbase5-dev fonts-thai-tlwg)
if [ "${1:-build}" = test ]; then
  packages+=(xvfb xauth xdotool binutils-mingw-w64-x86-64 libxml2-utils)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
