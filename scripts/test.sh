#!/usr/bin/env bash
# Installs what is missing, builds Bufrex with its tests and runs every test: on Linux once as built
# for users and once with AddressSanitizer and UndefinedBehaviorSanitizer, the box reader under clang's
# libFuzzer, then the Windows program and its tests under Wine (the first run on a machine also builds
# Qt for Windows, once).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# Qt for Windows, built once on a machine, is the longest step: it starts as soon as what it needs is
# installed and builds in the background at a lower priority while the rest is installed and the Linux
# builds and tests run, as those tests wait on windows and timers much of the time. The Windows build
# waits for it. A run that stops early stops it too.
bash scripts/setup.sh qt
mkdir -p build-windows
qt_log=build-windows/qt-build.log
setsid nice -n 10 bash scripts/windows-qt.sh >"$qt_log" 2>&1 &
qt=$!
trap 'kill -- -"$qt" 2>/dev/null || true' EXIT
bash scripts/setup.sh test
# So does the new Wine prefix that the Windows tests' prefixes are copies of.
setsid nice -n 10 bash tests/wineprefix.sh "$PWD/build-windows/wine/template" >build-windows/wine-template.log 2>&1 &
template=$!
trap 'kill -- -"$qt" -"$template" 2>/dev/null || true' EXIT

cmake -S . -B build
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DBUFREX_SANITIZE=ON
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"

# The box reader against whatever a paste may hold, for half a minute (README: Fuzzing the box reader).
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DBUFREX_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build build-fuzz -j"$jobs" --target fuzz_pastedbox
ctest --test-dir build-fuzz --output-on-failure --no-tests=error

echo "Waiting for Qt for Windows (its output: $qt_log)"
if ! wait "$qt"; then
  echo "test.sh: building Qt for Windows failed; the end of $qt_log:" >&2
  tail -n 30 "$qt_log" >&2
  exit 1
fi
trap - EXIT
bash scripts/windows.sh
# One more test than cores: under Wine a test waits on windows and on Wine itself more than it computes.
ctest --test-dir build-windows --output-on-failure -j"$((jobs + 1))"
