#!/usr/bin/env bash
# Sets up what is missing, builds Velquin with its tests, and runs every test under Wine on a
# private virtual display.
set -euo pipefail
cd "$(dirname "$0")"

tools/bootstrap.sh
build=${VELQUIN_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
tools/with-wine-display.sh ctest --test-dir "$build" --output-on-failure "$@"
