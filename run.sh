#!/usr/bin/env bash
# Builds Gridvane (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/install-deps.sh "${build_packages[@]}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)" --target gridvane
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Gridvane is built (build/gridvane) but there is no display to show it on: start it from a desktop session." >&2
  exit 1
fi
exec build/gridvane "$@"
