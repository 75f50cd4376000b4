#!/usr/bin/env bash
# Sets up what is missing, builds Velquin and runs it under Wine.
#  - With a working X display: Velquin runs there until you quit it (Ctrl+Shift+Q, or the toolbar's
#    close entry).
#  - Without one: Velquin runs on a private virtual 1920x1080 screen; the script saves a screenshot
#    of it, says where, quits Velquin and ends.
#   VELQUIN_BUILD_DIR   build directory (default: build)
set -euo pipefail
cd "$(dirname "$0")"
repo=$(pwd)
build=$repo/${VELQUIN_BUILD_DIR:-build}
screenshot=$build/velquin-screenshot.png

build_velquin() {
  tools/bootstrap.sh
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j"$(nproc)" --target Velquin velquin_probe
}

display_works() {
  [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

run_on_display() {
  # No Mono/Gecko install prompts when Wine sets up a new prefix for this run.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
  echo "Velquin runs on $DISPLAY; quit it with Ctrl+Shift+Q."
  wine "$build/bin/Velquin.exe"
}

# Runs inside tools/with-wine-display.sh, which provides the virtual screen and the Wine prefix.
run_on_virtual_display() {
  VELQUIN_BIN=$build/bin
  source tests/e2e/lib.sh
  E2E_OUT=$build/run-logs
  mkdir -p "$E2E_OUT"
  trap e2e_cleanup EXIT

  velquin_start
  if ! velquin_wait_windows; then
    echo "Velquin's windows did not appear; see $E2E_OUT/velquin.log" >&2
    exit 1
  fi
  e2e_screenshot "$screenshot"
  echo "Screenshot of Velquin on a virtual 1920x1080 screen: $screenshot"
  velquin_stop
  [ "$VELQUIN_EXIT" = 0 ] || { echo "Velquin ended with $VELQUIN_EXIT" >&2; exit 1; }
}

if [ "${1:-}" = --on-virtual-display ]; then
  run_on_virtual_display
  exit
fi

build_velquin
if display_works; then
  run_on_display
else
  echo "No X display: running Velquin on a virtual one."
  tools/with-wine-display.sh "$repo/run.sh" --on-virtual-display
fi
