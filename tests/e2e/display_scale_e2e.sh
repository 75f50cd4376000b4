#!/usr/bin/env bash
# The real Velquin.exe at 96 DPI and then at 144 DPI (150 % scaling, the Wine prefix's LogPixels), on
# a 1920x1080 screen: the toolbar is 1.5 x as large in its scaled place, clicks on its scaled entries
# select them, and the pen strokes drawn with each of the three widths are 1.5 x as thick.
#
# The DPI is a setting of the whole prefix, so this script always runs in a private display and prefix
# of its own, and the other scripts never see it.
#   display_scale_e2e.sh BIN_DIR
set -u
if [ -z "${VELQUIN_OWN_DPI_PREFIX:-}" ]; then
  exec env -u DISPLAY -u WINEPREFIX VELQUIN_OWN_DPI_PREFIX=1 \
    "$(dirname "${BASH_SOURCE[0]}")/../../tools/with-wine-display.sh" bash "$0" "$@"
fi
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

SCREEN_WIDTH=1920
EVENTUALLY=20
# Without a compositing manager the screen shows the layered pixels unblended: the see-through ground
# reads black, opaque ink its own colour.
GROUND=0,0,0
RED=239,68,68
GREEN=34,197,94

# The toolbar's entries along its main axis at 96 DPI, [start, end), in list order.
ENTRY_START=(6 20 56 65 101 137 173 209 218 248 278 308 338 368 398 428 458 467 497 527 557 566 602 638 674 683 719)
ENTRY_END=(18 54 63 99 135 171 207 216 246 276 306 336 366 396 426 456 465 495 525 555 564 600 636 672 681 717 753)
SWATCH_GREEN=11
WIDTH_DOT=(17 18 19)
BASE_WIDTHS=(3 6 12)

# A length or coordinate of the 96-DPI toolbar at DPI $1: scaled, halves rounded up.
at_dpi() {
  awk -v d="$1" -v v="$2" 'BEGIN { printf "%d", int(v * d / 96 + 0.5) }'
}

# --- Screenshots -----------------------------------------------------------------------------------

# The whole screen as raw RGB bytes, row after row: shot NAME makes $E2E_OUT/NAME.rgb the current one.
shot() {
  SHOT=$E2E_OUT/$1.rgb
  xwd -root -silent | /usr/bin/convert xwd:- -depth 8 "rgb:$SHOT"
}

# The colour of a pixel of the current screenshot as R,G,B: px X Y
px() {
  od -An -tu1 -v -j $((($2 * SCREEN_WIDTH + $1) * 3)) -N3 "$SHOT" |
    awk '{ printf "%d,%d,%d", $1, $2, $3 }'
}

# The run of pixels through (X, Y) down the column X that are not the ground: the thickness of a
# horizontal line whose middle row is Y.
thickness() {
  local x=$1 y=$2 top bottom
  [ "$(px "$x" "$y")" = "$GROUND" ] && { echo 0; return; }
  top=$y
  while [ $((y - top)) -lt 30 ] && [ "$(px "$x" $((top - 1)))" != "$GROUND" ]; do top=$((top - 1)); done
  bottom=$y
  while [ $((bottom - y)) -lt 30 ] && [ "$(px "$x" $((bottom + 1)))" != "$GROUND" ]; do bottom=$((bottom + 1)); done
  echo $((bottom - top + 1))
}

# --- Input -----------------------------------------------------------------------------------------

stroke() {
  local moves=() i
  for i in 1 2 3 4; do
    moves+=(mousemove $(($1 + ($3 - $1) * i / 4)) $(($2 + ($4 - $2) * i / 4)))
  done
  xdotool mousemove "$1" "$2" mousedown 1 "${moves[@]}" mouseup 1
}

# Clicks the middle of toolbar entry $1 of a horizontal toolbar at DPI $2 whose corner is (TB_X, TB_Y).
click_entry() {
  local start end
  start=$(at_dpi "$2" "${ENTRY_START[$1]}")
  end=$(at_dpi "$2" "${ENTRY_END[$1]}")
  xdotool mousemove $((TB_X + (start + end) / 2)) $((TB_Y + $(at_dpi "$2" 23))) click 1
}

# --- One run at one DPI ----------------------------------------------------------------------------

LINE_X1=300
LINE_X2=700
MEASURE_X=500
line_y() { echo $((200 + 100 * $1)); }
GREEN_Y=600

# Starts Velquin at DPI $1, checks the toolbar's size and place, draws a line with each width chosen
# on the toolbar and one after choosing green, and leaves the thicknesses in THICK[0..2].
run_at() {
  local dpi=$1 rect expected_w expected_h expected_x expected_y i
  velquin_start
  velquin_wait_windows || e2e_abort "at $dpi DPI Velquin's windows did not appear within 30 s"

  expected_w=$(at_dpi "$dpi" 759)
  expected_h=$(at_dpi "$dpi" 46)
  expected_x=$((1 + (1919 - expected_w) / 2))
  expected_y=$((1 + 1079 - $(at_dpi "$dpi" 48) - expected_h))
  local place="$expected_x,$expected_y,$((expected_x + expected_w)),$((expected_y + expected_h))"
  rect=$(eventually 20 0.3 "$place" probe_field "$TOOLBAR_CLASS" rect)
  check_eq "at $dpi DPI the toolbar is ${expected_w}x$expected_h at its place" "$place" "$rect"
  IFS=, read -r TB_X TB_Y _ _ <<<"$rect"

  for i in 0 1 2; do
    click_entry "${WIDTH_DOT[$i]}" "$dpi"
    stroke $LINE_X1 "$(line_y $i)" $LINE_X2 "$(line_y $i)"
  done
  click_entry $SWATCH_GREEN "$dpi"
  stroke $LINE_X1 $GREEN_Y $LINE_X2 $GREEN_Y
  xdotool mousemove 1700 100

  local tenths=$((EVENTUALLY * 10))
  while :; do
    shot "strokes-$dpi-dpi"
    [ "$(px $MEASURE_X $GREEN_Y)" = "$GREEN" ] && break
    tenths=$((tenths - 5))
    [ $tenths -le 0 ] && break
    sleep 0.5
  done
  check_eq "at $dpi DPI a click on the scaled green swatch selects green" "$GREEN" "$(px $MEASURE_X $GREEN_Y)"
  for i in 0 1 2; do
    check_eq "at $dpi DPI the line drawn after clicking width dot $i is red" "$RED" "$(px $MEASURE_X "$(line_y $i)")"
    THICK[$i]=$(thickness $MEASURE_X "$(line_y $i)")
  done
  check "at $dpi DPI the three width dots clicked give thin, middle and thick lines (${THICK[*]} px)" \
    test "${THICK[0]}" -gt 0 -a "${THICK[1]}" -gt "${THICK[0]}" -a "${THICK[2]}" -gt "${THICK[1]}"
  /usr/bin/convert -size ${SCREEN_WIDTH}x1080 -depth 8 "rgb:$SHOT" "${SHOT%.rgb}.png" && rm -f "$SHOT"
  velquin_stop
  check_eq "at $dpi DPI Velquin ends with exit code" 0 "$VELQUIN_EXIT"
}

declare -a THICK
run_at 96
AT_96=("${THICK[@]}")

# Wine reads the prefix's DPI when a program starts.
timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
  >>"$E2E_OUT/wine.log" 2>&1 || e2e_abort "could not set the prefix's DPI"
run_at 144
AT_144=("${THICK[@]}")

# The mouse draws at 0.85 x the base width; the base width at 144 DPI is 1.5 x the table's.
for i in 0 1 2; do
  what="width ${BASE_WIDTHS[$i]}: ${AT_144[$i]} px thick at 144 DPI, ${AT_96[$i]} px at 96 DPI"
  if awk -v a="${AT_96[$i]}" -v b="${AT_144[$i]}" -v w="${BASE_WIDTHS[$i]}" 'BEGIN {
       d1 = b - 1.5 * a; d2 = b - 0.85 * 1.5 * w
       exit !(a > 0 && d1 >= -1 && d1 <= 1 && d2 >= -1 && d2 <= 1) }'; then
    e2e_pass "$what (1.5 x within a pixel)"
  else
    e2e_fail "$what, expected 1.5 x the 96-DPI line and 0.85 x $(awk -v w="${BASE_WIDTHS[$i]}" 'BEGIN { print 1.5 * w }') ± 1 px"
  fi
done

e2e_summary
