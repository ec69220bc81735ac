#!/usr/bin/env bash
# Builds Gridvane with its tests (installing what is missing) and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/install-deps.sh "${build_packages[@]}" "${test_packages[@]}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)"
ctest --test-dir build --output-on-failure --timeout 600 "$@"

# The unit tests again, built with clang under AddressSanitizer and UndefinedBehaviorSanitizer,
# and each fuzz target for 20 seconds.
cmake -S . -B build-san -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DGRIDVANE_SANITIZE=ON >/dev/null
cmake --build build-san --parallel "$(nproc)"
ctest --test-dir build-san --output-on-failure --timeout 600 "$@"
