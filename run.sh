#!/usr/bin/env bash
# Sets up what is missing, builds Velquin and runs it under Wine.
#  - With a working X display: Velquin runs there until you quit it (Ctrl+Shift+Q, or the toolbar's
#    close entry).
#  - Without one: Velquin runs on a private virtual 1920x1080 screen over a Notepad window, draws a
#    short demonstration, saves screenshots of it (also in board mode), says where, quits Velquin
#    and ends.
#   VELQUIN_BUILD_DIR        build directory (default: build)
#   VELQUIN_SCREENSHOT_DIR   where the screenshots go (default: the build directory)
set -euo pipefail
cd "$(dirname "$0")"
repo=$(pwd)
build=$repo/${VELQUIN_BUILD_DIR:-build}
shots=${VELQUIN_SCREENSHOT_DIR:-$build}

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

# A stroke along the given points with the left button held: stroke X1 Y1 X2 Y2 ...
# The pauses let Wine see each position with the button down, as a hand would.
stroke() {
  local chain=(mousemove "$1" "$2" sleep 0.1 mousedown 1 sleep 0.1)
  shift 2
  while [ $# -ge 2 ]; do
    chain+=(mousemove "$1" "$2" sleep 0.1)
    shift 2
  done
  xdotool "${chain[@]}" mouseup 1
}

# Points of a rough circle: circle CX CY R
circle() {
  local step x y
  for step in $(seq 0 24); do
    x=$(awk -v c="$1" -v r="$3" -v s="$step" 'BEGIN { printf "%d", c + r * cos(s * 0.2618) }')
    y=$(awk -v c="$2" -v r="$3" -v s="$step" 'BEGIN { printf "%d", c + 0.6 * r * sin(s * 0.2618) }')
    printf '%s %s ' "$x" "$y"
  done
}

# Something ordinary to draw over: Notepad with a few lines of text.
start_notepad() {
  local note=$E2E_OUT/notlar.txt
  printf '%s\r\n' "Velquin" "" "Sunum notlari:" "  1. Ekran uzerine ciz, isaretle, anlat." \
    "  2. Fosforlu kalem, lazer isaretci, silgi." "  3. Beyaz tahta ve tiklamalari gecirme." >"$note"
  timeout -k 5 300 wine notepad "$note" >>"$E2E_OUT/wine.log" 2>&1 &
  notepad_pid=$!
  probe wait-window Notepad 30000 >/dev/null || true
  sleep 1
  local window
  window=$(xdotool search --onlyvisible --name 'notlar.txt' | head -n 1)
  [ -n "$window" ] && xdotool windowmove "$window" 260 140 windowsize "$window" 760 300
}

draw_demonstration() {
  probe chord 1 >/dev/null                                   # red pen: circle the heading
  stroke $(circle 318 199 78)
  probe chord H >/dev/null
  probe chord 3 >/dev/null                                   # yellow highlighter over a line
  stroke 292 226 440 227 578 226
  probe chord P >/dev/null
  probe chord 5 >/dev/null                                   # blue pen: an arrow to the last line
  stroke 820 330 700 255
  stroke 700 255 735 257
  stroke 700 255 706 290
  probe chord 4 >/dev/null
  probe chord 0xBB >/dev/null                                # wider green tick after the first line
  stroke 600 200 612 214 624 228 644 204 665 180
  probe chord K >/dev/null                                   # laser: shown while it holds
  stroke 300 300 420 318 560 304 680 322
}

# Runs inside tools/with-wine-display.sh, which provides the virtual screen and the Wine prefix.
run_on_virtual_display() {
  VELQUIN_BIN=$build/bin
  source tests/e2e/lib.sh
  E2E_OUT=$build/run-logs
  mkdir -p "$E2E_OUT" "$shots"
  notepad_pid=""
  compositor_pid=""
  trap 'e2e_cleanup; [ -n "$notepad_pid" ] && kill "$notepad_pid" 2>/dev/null; [ -n "$compositor_pid" ] && kill "$compositor_pid" 2>/dev/null' EXIT

  # A compositing manager blends Velquin's per-pixel alpha with what lies below, as a desktop does.
  xcompmgr -n >/dev/null 2>&1 &
  compositor_pid=$!
  start_notepad

  velquin_start
  if ! velquin_wait_windows; then
    echo "Velquin's windows did not appear; see $E2E_OUT/velquin.log" >&2
    exit 1
  fi
  xdotool mousemove 600 700 click 1                         # a dot that gives Velquin the focus
  probe chord CTRL+Z >/dev/null
  draw_demonstration
  import -window root "$shots/velquin-screenshot.png"
  probe chord B >/dev/null
  sleep 3.5                                                  # the laser trail fades away
  import -window root "$shots/velquin-board.png"
  echo "Screenshots of Velquin on a virtual 1920x1080 screen:"
  echo "  $shots/velquin-screenshot.png"
  echo "  $shots/velquin-board.png (board mode)"
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
