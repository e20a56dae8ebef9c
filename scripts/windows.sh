#!/usr/bin/env bash
# Builds Bufrex for 64-bit Windows on Debian: installs what is missing, builds Qt for Windows once
# (cached outside this clone), cross-builds Bufrex and its tests with MinGW-w64, and leaves
#   build-windows/dist/                      bufrex.exe, all it needs to run, with its licence and Qt's
#   build-windows/bufrex-VERSION-win64.zip   the same, packed
#   build-windows/bufrex-VERSION-win64-setup.exe   the same, as an installer
#   build-windows/SHA256SUMS                 the sums of the three (sha256sum -c SHA256SUMS in build-windows)
# Built from the same commit, they come out the same byte for byte. Arguments go to cmake, such as
# -DBUILD_TESTING=OFF. The tests run under Wine: ctest --test-dir build-windows (scripts/test.sh does).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh windows
qt=$(bash scripts/windows-qt.sh)
# A build folder set up against another Qt (built with other options, or for another Debian) would
# go on finding that one, as CMake keeps where it found each Qt package: it is set up anew.
if [ -f build-windows/CMakeCache.txt ] && ! grep -qxF "Qt5_DIR:PATH=$qt/lib/cmake/Qt5" build-windows/CMakeCache.txt; then
  rm build-windows/CMakeCache.txt
fi

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_PREFIX_PATH="$qt" \
  -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build build-windows -j"$(nproc)"
rm -rf build-windows/dist
cmake --install build-windows --prefix build-windows/dist
# The zip and the installer are packed side by side, each on a core of its own.
(cd build-windows && cpack -G ZIP >/dev/null) &
zip=$!
makensis -V2 build-windows/bufrex.nsi
wait "$zip"
(cd build-windows && sha256sum dist/bufrex.exe bufrex-*-win64.zip bufrex-*-win64-setup.exe > SHA256SUMS)
echo "Windows program: build-windows/dist/bufrex.exe; zip: $(ls build-windows/bufrex-*-win64.zip);" \
  "installer: $(ls build-windows/bufrex-*-win64-setup.exe); their sums: build-windows/SHA256SUMS"
