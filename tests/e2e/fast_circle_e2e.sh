#!/usr/bin/env bash
# Fast circles on the real Velquin.exe: another process injects them with SendInput, absolute moves
# 1 ms apart with the left button held, as a 1000 Hz mouse reports a brisk hand. The system merges the
# moves that arrive while Velquin is busy pushing a frame; each circle must still be drawn as a circle,
# with ink within 2 px of every injected position, not as a polygon of long chords.
# The second circle's inputs carry times that step every 16 ms, as the system's tick does on Windows,
# so a dozen and more moves share one time: no time may decide which moves are taken, or the stroke
# jumps back along chords inside the circle.
#   fast_circle_e2e.sh BIN_DIR
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

RADIUS=250
INTERVAL_MS=1
# Ink of the circle itself reaches half a pen width (2.6 px) and a pixel of rounding inside its radius.
INSIDE_MARGIN=6
# How far from the way between two moves their segment's ink reaches: half a pen width and rounding.
SEGMENT_REACH=4
# Without a compositing manager the screen shows the ink's premultiplied pixels: opaque red pen ink
# reads exactly the palette's red.
RED=239,68,68
# How many screenshots (about 3 s apart with their reading) Velquin may take to catch up with the input.
EVENTUALLY=20

# The positions that have no red ink within 2 px in a screenshot: missing_ink SHOT AT_FILE CX CY
missing_ink() {
  local left=$(($3 - RADIUS - 10)) top=$(($4 - RADIUS - 10)) size=$((2 * RADIUS + 21))
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

# The red pixels well inside the circle that lie on no way the system's pointer went from one move
# to the next (SEEN_FILE, the probe's seen=X,Y lines): only a chord of Velquin's own puts ink there.
# Under Wine the pointer itself goes back now and then, when the X server's report of where Wine had
# moved it comes in late: ink along that way is the stroke the system reported.
#   chord_ink SHOT SEEN_FILE CX CY
chord_ink() {
  local inner=$((RADIUS - INSIDE_MARGIN))
  local left=$(($3 - inner)) top=$(($4 - inner)) size=$((2 * inner + 1))
  /usr/bin/convert "$1" -crop "${size}x${size}+$left+$top" +repage -depth 8 rgb:- | od -An -tu1 -v |
    awk -v left="$left" -v top="$top" -v size="$size" -v inner="$inner" -v red="$RED" -v seen="$2" \
      -v reach="$SEGMENT_REACH" '
      BEGIN { split(red, r, ",") }
      { for (i = 1; i <= NF; i++) byte[n++] = $i }
      # Distance squared from (px, py) to the segment from point i - 1 to point i of the seen way.
      function to_segment(i, px, py,   dx, dy, t, qx, qy) {
        dx = sx[i] - sx[i - 1]; dy = sy[i] - sy[i - 1]
        t = dx * dx + dy * dy ? ((px - sx[i - 1]) * dx + (py - sy[i - 1]) * dy) / (dx * dx + dy * dy) : 0
        if (t < 0) t = 0
        if (t > 1) t = 1
        qx = sx[i - 1] + t * dx - px; qy = sy[i - 1] + t * dy - py
        return qx * qx + qy * qy
      }
      END {
        while ((getline line < seen) > 0) {
          split(substr(line, 6), xy, ",")
          sx[m] = xy[1]; sy[m] = xy[2]; m++
        }
        for (p = 0; p < size * size; p++) {
          x = p % size - inner; y = int(p / size) - inner
          if (x * x + y * y >= inner * inner) continue
          if (byte[3 * p] != r[1] || byte[3 * p + 1] != r[2] || byte[3 * p + 2] != r[3]) continue
          px = left + p % size; py = top + int(p / size); along = 0
          for (i = 1; i < m && !along; i++) if (to_segment(i, px, py) <= reach * reach) along = 1
          if (!along) print px "," py
        }
      }'
}

# Injects one circle and checks its ink: fast_circle NAME CX CY MOVES [TICK_MS]
fast_circle() {
  local name=$1 cx=$2 cy=$3 moves=$4 tick=${5:-}
  probe circle "$cx" "$cy" "$RADIUS" "$moves" "$INTERVAL_MS" $tick >"$E2E_OUT/$name-probe.txt"
  grep '^at=' "$E2E_OUT/$name-probe.txt" >"$E2E_OUT/$name.txt"
  grep '^seen=' "$E2E_OUT/$name-probe.txt" >"$E2E_OUT/$name-seen.txt"
  check_eq "$name: injected positions" $((moves + 1)) "$(wc -l <"$E2E_OUT/$name.txt")"

  local missing="" inside=""
  for _ in $(seq "$EVENTUALLY"); do
    e2e_screenshot "$E2E_OUT/$name.png"
    missing=$(missing_ink "$E2E_OUT/$name.png" "$E2E_OUT/$name.txt" "$cx" "$cy")
    [ -z "$missing" ] && break
    sleep 1
  done
  if [ -z "$missing" ]; then
    e2e_pass "$name: every injected position has ink within 2 px"
  else
    e2e_fail "$name: $(wc -l <<<"$missing") of $((moves + 1)) injected positions have no ink within 2 px, e.g. $(head -n 5 <<<"$missing" | paste -sd ' ' -) ($name.png)"
  fi
  inside=$(chord_ink "$E2E_OUT/$name.png" "$E2E_OUT/$name-seen.txt" "$cx" "$cy")
  if [ -z "$inside" ]; then
    e2e_pass "$name: no ink more than $INSIDE_MARGIN px inside the circle but where the pointer went (no chords)"
  else
    e2e_fail "$name: $(wc -l <<<"$inside") red pixels inside the circle off the pointer's way, e.g. $(head -n 5 <<<"$inside" | paste -sd ' ' -) ($name.png)"
  fi
}

velquin_start
velquin_wait_windows || e2e_abort "Velquin's windows did not appear within 30 s"
# The injection starts where the pointer is not: park it away from the circles.
xdotool mousemove 1700 80
sleep 1

fast_circle circle 700 450 360
# Moves two degrees apart, so that a jump back along the circle leaves a chord well inside it.
fast_circle stepped-times 1400 450 180 16

velquin_stop
check_eq "Velquin ended by WM_QUIT with exit code" 0 "$VELQUIN_EXIT"
e2e_summary
