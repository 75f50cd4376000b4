#!/usr/bin/env bash
# Shapes on the real Velquin.exe with real X input: a key held down (xdotool keydown) while the mouse
# drags with the overlay focused, over a path that swings far to the side. Shift gives a straight
# line, Ctrl a rectangle, Tab an ellipse, Ctrl+Shift an arrow; without a key the stroke follows the
# hand. One Ctrl+Z takes one shape away whole. Judged from screenshots of the 1920x1080 screen.
#   shapes_e2e.sh BIN_DIR
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

# Without a compositing manager the screen shows the overlay's own pixels: opaque red pen ink reads
# exactly the palette's red.
RED=239,68,68
# How many screenshots (about a second apart) Velquin may take to show the effect of the input.
EVENTUALLY=20
# The pen's middle width is 0.85 x 6 px: pixels this far from the centre line hold no ink.
CLEAR_OF_LINE=8

overlay_x_window() {
  local window
  for window in $(xdotool search --onlyvisible --name "^$WINDOW_TITLE\$"); do
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$X,$Y,${WIDTH}x$HEIGHT" = "1,1,1919x1079" ] && { echo "$window"; return 0; }
  done
  return 1
}

# --- Geometry (screen pixels; the canvas starts at screen (1, 1)) -----------------------------------

# The mouse moves from X1,Y1 to X2,Y2 in 24 steps, swinging up to 40 px to the side of the straight
# way: wiggle X1 Y1 X2 Y2 prints "X Y" per step.
wiggle() {
  awk -v x1="$1" -v y1="$2" -v x2="$3" -v y2="$4" 'BEGIN {
    dx = x2 - x1; dy = y2 - y1; l = sqrt(dx * dx + dy * dy)
    for (i = 1; i <= 24; i++) {
      t = i / 24; s = (i == 24) ? 0 : 40 * sin(3 * 3.14159265 * t)
      printf "%d %d\n", x1 + t * dx - s * dy / l, y1 + t * dy + s * dx / l
    }
  }'
}

# The steps of the path where it swings farthest from the straight way, the first, the second (half
# way) and the third: swings X1 Y1 X2 Y2 [WHICH...] (all three by default)
swings() {
  awk -v x1="$1" -v y1="$2" -v x2="$3" -v y2="$4" -v which="${*:5}" 'BEGIN {
    if (which == "") which = "1 2 3"
    dx = x2 - x1; dy = y2 - y1; l = sqrt(dx * dx + dy * dy)
    n = split(which, w, " ")
    for (k = 1; k <= n; k++) {
      t = (2 * w[k] - 1) / 6; s = 40 * sin(3 * 3.14159265 * t)
      printf "%d,%d ", x1 + t * dx - s * dy / l, y1 + t * dy + s * dx / l
    }
  }'
}

# Points along the straight lines between the given corners: along X1,Y1 X2,Y2 ... (open)
along() {
  awk -v corners="$*" 'BEGIN {
    n = split(corners, c, " ")
    for (k = 1; k < n; k++) {
      split(c[k], a, ","); split(c[k + 1], b, ",")
      for (i = 1; i <= 9; i++) printf "%d,%d ", a[1] + (b[1] - a[1]) * i / 10, a[2] + (b[2] - a[2]) * i / 10
    }
  }'
}

# Points on the ellipse inscribed in the rectangle of two corners: on_ellipse X1 Y1 X2 Y2
on_ellipse() {
  awk -v x1="$1" -v y1="$2" -v x2="$3" -v y2="$4" 'BEGIN {
    cx = (x1 + x2) / 2; cy = (y1 + y2) / 2; rx = (x2 - x1) / 2; ry = (y2 - y1) / 2
    if (rx < 0) rx = -rx; if (ry < 0) ry = -ry
    for (i = 0; i < 24; i++) { a = 2 * 3.14159265 * i / 24; printf "%d,%d ", cx + rx * cos(a) + 0.5, cy + ry * sin(a) + 0.5 }
  }'
}

# Half way along the two head strokes of an arrow from X1,Y1 with its tip at X2,Y2, each 30 degrees to
# the shaft and 3 x 5.1 + 8 px long: head X1 Y1 X2 Y2
head() {
  awk -v x1="$1" -v y1="$2" -v x2="$3" -v y2="$4" 'BEGIN {
    dx = x1 - x2; dy = y1 - y2; l = sqrt(dx * dx + dy * dy); ux = dx / l; uy = dy / l
    h = (3 * 5.1 + 8) / 2; c = cos(3.14159265 / 6); s = sin(3.14159265 / 6)
    printf "%d,%d %d,%d", x2 + h * (ux * c - uy * s) + 0.5, y2 + h * (ux * s + uy * c) + 0.5,
      x2 + h * (ux * c + uy * s) + 0.5, y2 + h * (uy * c - ux * s) + 0.5
  }'
}

# --- Input and screenshots --------------------------------------------------------------------------

# A drag with keys held from before the press: drag KEYS X1 Y1 X2 Y2 [RELEASE_KEYS_FIRST]. KEYS is
# "none" or a chord for xdotool such as ctrl+shift. With RELEASE_KEYS_FIRST the keys go up half way.
# Like a hand, it holds the keys a moment before it presses the button, and moves at a hand's pace.
drag() {
  local keys=$1 x1=$2 y1=$3 x2=$4 y2=$5 early=${6:-} moves=() i=0 x y
  while read -r x y; do
    moves+=(mousemove "$x" "$y" sleep 0.03)
    i=$((i + 1))
    [ "$i" -eq 12 ] && [ -n "$early" ] && [ "$keys" != none ] && moves+=(keyup "$keys")
  done < <(wiggle "$x1" "$y1" "$x2" "$y2")
  xdotool windowfocus --sync "$OVERLAY_X_WINDOW" mousemove "$x1" "$y1"
  [ "$keys" = none ] || xdotool keydown "$keys" sleep 0.3
  xdotool mousedown 1 sleep 0.1 "${moves[@]}" mouseup 1
  [ "$keys" = none ] || [ -n "$early" ] || xdotool sleep 0.1 keyup "$keys"
}

park_pointer() {
  xdotool mousemove 1700 80
}

# Takes a screenshot as $E2E_OUT/NAME.ppm, the current one: shot NAME
shot() {
  SHOT=$E2E_OUT/$1.ppm
  xwd -root -silent | /usr/bin/convert xwd:- -depth 8 "ppm:$SHOT"
}

# How many of the listed points read COLOUR (within 2 in every channel), or with "near" have it within
# 2 px: count_colour COLOUR exact|near X,Y...
count_colour() {
  python3 - "$SHOT" "$@" <<'PYTHON'
import sys
path, colour, mode, points = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
data = open(path, "rb").read()
fields, at = [], 0
while len(fields) < 4:  # P6, width, height, maximum, each after white space or a comment line
    while data[at:at + 1].isspace() or data[at:at + 1] == b"#":
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
        at += 1
    start = at
    while not data[at:at + 1].isspace(): at += 1
    fields.append(data[start:at])
width, pixels = int(fields[1]), data[at + 1:]
want = [int(c) for c in colour.split(",")]
def reads(x, y):
    p = pixels[3 * (y * width + x):3 * (y * width + x) + 3]
    return all(abs(p[i] - want[i]) <= 2 for i in range(3))
reach = 2 if mode == "near" else 0
count = 0
for point in points:
    x, y = (int(v) for v in point.split(","))
    count += any(reads(x + dx, y + dy) for dx in range(-reach, reach + 1) for dy in range(-reach, reach + 1))
print(count)
PYTHON
}

# check_ink WHAT all|none X,Y...: every listed point shows red ink, or none has ink within 2 px.
check_ink() {
  local what=$1 want=$2 found
  shift 2
  if [ "$want" = all ]; then
    found=$(count_colour "$RED" exact "$@")
    [ "$found" -eq $# ] && e2e_pass "$what" || e2e_fail "$what: red at $found of $# points ($(basename "$SHOT"))"
  else
    found=$(count_colour "$RED" near "$@")
    [ "$found" -eq 0 ] && e2e_pass "$what" || e2e_fail "$what: red near $found of $# points ($(basename "$SHOT"))"
  fi
}

# Input reaches Velquin asynchronously: screenshots until the listed points all read red, or
# none of them does: shot_until NAME all|none X,Y...
shot_until() {
  local name=$1 want=$2 found
  shift 2
  for _ in $(seq "$EVENTUALLY"); do
    shot "$name"
    if [ "$want" = all ]; then
      found=$(count_colour "$RED" exact "$@")
      [ "$found" -eq $# ] && return 0
    else
      found=$(count_colour "$RED" near "$@")
      [ "$found" -eq 0 ] && return 0
    fi
    sleep 1
  done
  return 1
}

# --- Start -----------------------------------------------------------------------------------------

velquin_start
velquin_wait_windows || e2e_abort "Velquin's windows did not appear within 30 s"
OVERLAY_X_WINDOW=$(overlay_x_window) || e2e_abort "no 1919x1079 overlay window on the X screen"
park_pointer

# Each shape in a place of its own, drawn from its first corner to its second.
FREE=(150 850 650 850)
LINE=(150 200 650 400)
RECT=(800 150 1250 450)
ELLIPSE=(1750 150 1350 450)  # dragged up and to the left, from its bottom right
ARROW=(1700 900 900 650)

drag none "${FREE[@]}"
drag shift "${LINE[@]}"
drag ctrl "${RECT[@]}" release-keys-half-way
drag Tab "${ELLIPSE[@]}"
drag ctrl+shift "${ARROW[@]}"
park_pointer

LINE_ON=$(along "${LINE[0]},${LINE[1]}" "${LINE[2]},${LINE[3]}")
RECT_ON=$(along "${RECT[0]},${RECT[1]}" "${RECT[2]},${RECT[1]}" "${RECT[2]},${RECT[3]}" "${RECT[0]},${RECT[3]}" "${RECT[0]},${RECT[1]}")
ELLIPSE_ON=$(on_ellipse "${ELLIPSE[@]}")
ARROW_ON="$(along "${ARROW[0]},${ARROW[1]}" "${ARROW[2]},${ARROW[3]}") $(head "${ARROW[@]}")"
# shellcheck disable=SC2086
shot_until shapes all $LINE_ON $RECT_ON $ELLIPSE_ON $ARROW_ON ||
  e2e_fail "the four shapes did not all appear within $EVENTUALLY screenshots"

# shellcheck disable=SC2086
{
  check_ink "without a key the stroke follows the hand through its swings" all $(swings "${FREE[@]}")
  check_ink "Shift: a straight line from the press to the release" all $LINE_ON
  check_ink "Shift: nothing where the hand swung off the line" none $(swings "${LINE[@]}")
  check_ink "Ctrl: the rectangle's four edges, the keys let go of half way" all $RECT_ON
  check_ink "Ctrl: nothing along the swinging path inside the rectangle" none $(swings "${RECT[@]}")
  check_ink "Ctrl: the rectangle is not filled" none "$(((RECT[0] + RECT[2]) / 2)),$(((RECT[1] + RECT[3]) / 2))"
  check_ink "Tab: the ellipse inscribed in the dragged rectangle" all $ELLIPSE_ON
  # The path from corner to corner crosses the outline; half way it swings inside the ellipse.
  check_ink "Tab: nothing where the hand swung inside, nor at the rectangle's corners or centre" none \
    $(swings "${ELLIPSE[@]}" 2) "${ELLIPSE[0]},${ELLIPSE[1]}" "${ELLIPSE[2]},${ELLIPSE[3]}" \
    "$(((ELLIPSE[0] + ELLIPSE[2]) / 2)),$(((ELLIPSE[1] + ELLIPSE[3]) / 2))"
  check_ink "Ctrl+Shift: the arrow's shaft and its head at the release end" all $ARROW_ON
  check_ink "Ctrl+Shift: no head at the press end" none $(head "${ARROW[2]}" "${ARROW[3]}" "${ARROW[0]}" "${ARROW[1]}")
  check_ink "Ctrl+Shift: nothing where the hand swung off the shaft" none $(swings "${ARROW[@]}")
}

# --- One Ctrl+Z takes one shape away whole ------------------------------------------------------------
xdotool windowfocus --sync "$OVERLAY_X_WINDOW" key ctrl+z
# shellcheck disable=SC2086
{
  shot_until undo-arrow none $ARROW_ON || true
  check_ink "one Ctrl+Z takes the whole arrow away" none $ARROW_ON
  check_ink "the ellipse drawn before it stays" all $ELLIPSE_ON
  xdotool windowfocus --sync "$OVERLAY_X_WINDOW" key ctrl+z
  shot_until undo-ellipse none $ELLIPSE_ON || true
  check_ink "a second Ctrl+Z takes the whole ellipse away" none $ELLIPSE_ON
  check_ink "the rectangle and the line stay" all $RECT_ON $LINE_ON
}

check "Velquin still runs" velquin_running
velquin_stop
check_eq "exit code" 0 "$VELQUIN_EXIT"

for picture in "$E2E_OUT"/*.ppm; do
  /usr/bin/convert "$picture" "${picture%.ppm}.png" && rm -f "$picture"
done
e2e_summary
