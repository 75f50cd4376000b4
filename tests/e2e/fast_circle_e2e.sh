#!/usr/bin/env bash
# A fast circle on the real Velquin.exe: another process injects it with SendInput, 360 absolute moves
# 1 ms apart with the left button held, as a 1000 Hz mouse reports a brisk hand. The system merges the
# moves that arrive while Velquin is busy pushing a frame; the circle must still be drawn as a circle,
# with ink within 2 px of every injected position, not as a polygon of long chords.
#   fast_circle_e2e.sh BIN_DIR
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

CENTRE_X=700
CENTRE_Y=450
RADIUS=250
MOVES=360
INTERVAL_MS=1
# Without a compositing manager the screen shows the ink's premultiplied pixels: opaque red pen ink
# reads exactly the palette's red.
RED=239,68,68
# How many screenshots (about 3 s apart with their reading) Velquin may take to catch up with the input.
EVENTUALLY=20

# The positions that have no red ink within 2 px in a screenshot: missing_ink SHOT AT_FILE
missing_ink() {
  local left=$((CENTRE_X - RADIUS - 10)) top=$((CENTRE_Y - RADIUS - 10)) size=$((2 * RADIUS + 21))
  /usr/bin/convert "$1" -crop "${size}x${size}+$left+$top" +repage -depth 8 rgb:- | od -An -tu1 -v |
    awk -v left="$left" -v top="$top" -v size="$size" -v red="$RED" -v at="$2" '
      BEGIN { split(red, r, ",") }
      { for (i = 1; i <= NF; i++) byte[n++] = $i }
      END {
        for (p = 0; p < size * size; p++)
          if (byte[3 * p] == r[1] && byte[3 * p + 1] == r[2] && byte[3 * p + 2] == r[3]) ink[p] = 1
        while ((getline line < at) > 0) {
          split(substr(line, 4), xy, ",")
          found = 0
          for (dy = -2; dy <= 2 && !found; dy++)
            for (dx = -2; dx <= 2 && !found; dx++)
              if (((xy[2] - top + dy) * size + xy[1] - left + dx) in ink) found = 1
          if (!found) print xy[1] "," xy[2]
        }
      }'
}

velquin_start
velquin_wait_windows || e2e_abort "Velquin's windows did not appear within 30 s"
# The injection starts where the pointer is not: park it away from the circle.
xdotool mousemove 1700 80
sleep 1

probe circle "$CENTRE_X" "$CENTRE_Y" "$RADIUS" "$MOVES" "$INTERVAL_MS" | grep '^at=' >"$E2E_OUT/injected.txt"
check_eq "injected positions" $((MOVES + 1)) "$(wc -l <"$E2E_OUT/injected.txt")"

missing=""
for _ in $(seq "$EVENTUALLY"); do
  e2e_screenshot "$E2E_OUT/circle.png"
  missing=$(missing_ink "$E2E_OUT/circle.png" "$E2E_OUT/injected.txt")
  [ -z "$missing" ] && break
  sleep 1
done
if [ -z "$missing" ]; then
  e2e_pass "every injected position has ink within 2 px"
else
  e2e_fail "$(wc -l <<<"$missing") of $((MOVES + 1)) injected positions have no ink within 2 px, e.g. $(head -n 5 <<<"$missing" | paste -sd ' ' -) (circle.png)"
fi

velquin_stop
check_eq "Velquin ended by WM_QUIT with exit code" 0 "$VELQUIN_EXIT"
e2e_summary
