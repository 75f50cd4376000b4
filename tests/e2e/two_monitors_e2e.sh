#!/usr/bin/env bash
# Velquin on two monitors for real: a 1920x1080 primary and a 1280x720 monitor beside it (Xorg's dummy
# driver). The overlays cover both, less each monitor's top row and left column; strokes on the second
# monitor show and undo, and go on across; the board whitens both; the second monitor moves left of
# the primary and back, and the ink keeps its desktop place; the toolbar dragged onto the second
# monitor comes back to the primary when that monitor is turned off; undo takes every stroke.
#   two_monitors_e2e.sh BIN_DIR
set -u
source "$(dirname "${BASH_SOURCE[0]}")/monitors.sh"
monitors_begin "$@"

RED=239,68,68
WHITE=255,255,255
X_WIDTH=3200

# --- Screenshots (X root, windows' own pixels: opaque ink reads its colour exactly) ---------------

shot() {
  import -window root -depth 8 "ppm:$E2E_OUT/$1.ppm"
  SHOT=$E2E_OUT/$1.ppm
  SHOT_HEADER=$(head -n 3 "$SHOT" | wc -c)
  X_WIDTH=$(head -n 2 "$SHOT" | tail -n 1 | cut -d' ' -f1)
}

# The colour at a Windows desktop position in the current screenshot: px X Y
px() {
  local xy
  xy=$(x_from_windows "$1" "$2")
  od -An -tu1 -v -j $((SHOT_HEADER + (${xy#* } * X_WIDTH + ${xy% *}) * 3)) -N3 "$SHOT" |
    awk '{ printf "%d,%d,%d", $1, $2, $3 }'
}

# Waits until a fresh screenshot shows COLOUR at a Windows position (or not, with "!"), for up to
# 10 s: shot_until NAME [!]COLOUR X Y; then checks it.
check_shot() {
  local what=$1 name=$2 want=$3 x=$4 y=$5 seen
  for _ in $(seq 40); do
    shot "$name"
    seen=$(px "$x" "$y")
    if [ "${want#!}" != "$want" ]; then [ "$seen" != "${want#!}" ] && break; else [ "$seen" = "$want" ] && break; fi
    sleep 0.25
  done
  if [ "${want#!}" != "$want" ]; then
    check "$what (($x, $y) reads $seen)" test "$seen" != "${want#!}"
  else
    check_eq "$what at ($x, $y)" "$want" "$seen"
  fi
}

# A horizontal pen stroke with the real X mouse, in Windows desktop positions: stroke X1 X2 Y
stroke() {
  local a b
  a=$(x_from_windows "$1" "$3")
  b=$(x_from_windows "$2" "$3")
  xdotool mousemove ${a% *} ${a#* } mousedown 1 sleep 0.05 \
    mousemove $(((${a% *} + ${b% *}) / 2)) ${a#* } sleep 0.05 mousemove ${b% *} ${b#* } sleep 0.05 mouseup 1
  sleep 0.2
}

overlay_x_window() {
  local xy
  xy=$(x_from_windows 960 540)
  xdotool mousemove ${xy% *} ${xy#* } sleep 0.1 getmouselocation --shell | sed -n 's/^WINDOW=//p'
}

keys() {
  xdotool windowfocus --sync "$(overlay_x_window)" key "$@"
  sleep 0.3
}

overlays() { eventually 50 0.2 "$1" probe_field "$OVERLAY_CLASS" rects; }
toolbar_rect() { eventually "${2:-1}" 0.2 "${1:-}" probe_field "$TOOLBAR_CLASS" rect; }

velquin_start
velquin_wait_windows || e2e_abort "Velquin did not start"

# --- Both monitors covered -------------------------------------------------------------------------
check_eq "an overlay on each monitor, less its top row and left column" \
  "1,1,1920,1080 1921,1,3200,720" "$(overlays "1,1,1920,1080 1921,1,3200,720")"
HOME_TOOLBAR=$(toolbar_rect)
check_eq "the toolbar in its place on the primary, as with one monitor" "581,986,1340,1032" "$HOME_TOOLBAR"

# --- Strokes on the second monitor, and across -----------------------------------------------------
stroke 2300 2700 300
check_shot "a stroke on the second monitor shows" on-second "$RED" 2500 300
stroke 1800 2100 500
check_shot "a stroke across shows on the primary" across "$RED" 1850 500
check "and goes on across onto the second monitor ($(px 2050 500))" test "$(px 2050 500)" = "$RED"
keys ctrl+z
check_shot "undo takes the stroke across away" undo-across "!$RED" 2050 500
keys ctrl+z
check_shot "undo takes the stroke on the second monitor away" undo-second "!$RED" 2500 300

# Ink for what follows: on the second monitor, and on the primary.
stroke 2300 2700 300
stroke 400 800 600
check_shot "the strokes are there again" again "$RED" 2500 300

# --- Board -----------------------------------------------------------------------------------------
keys b
check_shot "the board whitens the primary" board "$WHITE" 1000 200
check "and the second monitor ($(px 3000 600))" test "$(px 3000 600)" = "$WHITE"
keys b
check_shot "the board off again" board-off "!$WHITE" 1000 200

# --- The second monitor moves left of the primary, and back ----------------------------------------
monitor_left_of || e2e_abort "the second monitor did not move left"
check_eq "the overlays follow the monitor to the left" "-1279,1,0,720 1,1,1920,1080" \
  "$(overlays "-1279,1,0,720 1,1,1920,1080")"
check_shot "the primary's ink keeps its desktop place" moved-left "$RED" 600 600
stroke -900 -300 400
check_shot "a stroke on the moved monitor shows" on-left "$RED" -600 400
monitor_right_of || e2e_abort "the second monitor did not move back"
check_eq "the overlays follow it back" "1,1,1920,1080 1921,1,3200,720" "$(overlays "1,1,1920,1080 1921,1,3200,720")"
check_shot "the ink drawn there before shows again where it was" back-right "$RED" 2500 300
check "the primary's ink is still in its place ($(px 600 600))" test "$(px 600 600)" = "$RED"

# --- The toolbar dragged onto the second monitor, then that monitor turned off --------------------
IFS=, read -r tl tt tr tb <<<"$HOME_TOOLBAR"
grip=$(x_from_windows $((tl + 10)) $(((tt + tb) / 2)))
target=$(x_from_windows 2300 400)
xdotool mousemove ${grip% *} ${grip#* } mousedown 1 sleep 0.2 mousemove $((${grip% *} + 600)) 700 sleep 0.2 \
  mousemove $((${grip% *} + 1200)) 550 sleep 0.2 mousemove $((${target% *} - 8)) ${target#* } sleep 0.5 \
  mousemove $((${target% *} - 7)) ${target#* } sleep 0.5 mouseup 1
dragged=$(toolbar_rect)
check "the toolbar was dragged onto the second monitor ($dragged)" test "${dragged%%,*}" -ge 1920
monitor_off || e2e_abort "the second monitor did not go off"
check_eq "the overlay is the primary's alone" "1,1,1920,1080" "$(overlays "1,1,1920,1080")"
check_eq "the toolbar is back in its place on the primary" "$HOME_TOOLBAR" "$(toolbar_rect "$HOME_TOOLBAR" 50)"

# --- Undo takes every stroke -----------------------------------------------------------------------
monitor_on || e2e_abort "the second monitor did not come back"
overlays "1,1,1920,1080 1921,1,3200,720" >/dev/null
# A press on the overlay brings the keys back to it after the toolbar had them; the dot it draws is
# one more stroke to undo.
xy=$(x_from_windows 1500 200)
xdotool mousemove ${xy% *} ${xy#* } click 1
sleep 0.3
# The dot, the stroke drawn on the monitor while it was left, and the two before.
keys ctrl+z ctrl+z ctrl+z ctrl+z
check_shot "every stroke is undone: the primary's" all-undone "!$RED" 600 600
check "the second monitor's ($(px 2500 300))" test "$(px 2500 300)" != "$RED"

velquin_stop
check_eq "Velquin ends cleanly" 0 "$VELQUIN_EXIT"
e2e_summary
