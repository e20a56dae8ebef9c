#!/usr/bin/env bash
# Installs what is missing, builds Bufrex and starts it. Arguments are handed to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build
cmake -S . -B build >/dev/null
cmake --build build --target bufrex -j"$(nproc)"

if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "bufrex: no display to show its window on; run it from a desktop session, or in a virtual one: xvfb-run bash scripts/run.sh (xvfb-run comes with the package xvfb, with xauth)" >&2
  exit 1
fi
exec build/bufrex "$@"
