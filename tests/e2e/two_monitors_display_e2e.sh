#!/usr/bin/env bash
# The two-monitor display that the end-to-end scripts get from monitors.sh: Windows programs see both
# monitors where X has them, a window that is already open is sent WM_DISPLAYCHANGE after each change
# and then sees the new arrangement, and on either side xdotool at x_from_windows reaches a window at
# that Windows position on either monitor, which the screenshot of the whole X screen shows there.
#   two_monitors_display_e2e.sh BIN_DIR
set -u
source "$(dirname "${BASH_SOURCE[0]}")/monitors.sh"
monitors_begin "$@"

RIGHT="0 0 1920 1080 primary, 1920 0 3200 720"
LEFT="0 0 1920 1080 primary, -1280 0 0 720"
ALONE="0 0 1920 1080 primary"
TARGET_CLASS=VelquinTestClickTarget
TARGET_GREEN=40,160,90

check_eq "at the start Windows programs see the primary and the second monitor right of it" "$RIGHT" "$(monitor_list)"

# --- Display changes -------------------------------------------------------------------------------

# change | what Windows programs see after it | X screen width. Off and on again keeps the side.
CHANGES=(
  "monitor_left_of|$LEFT|3200"
  "monitor_off|$ALONE|1920"
  "monitor_on|$LEFT|3200"
  "monitor_off|$ALONE|1920"
  "monitor_right_of|$RIGHT|3200"
)

for case in "${CHANGES[@]}"; do
  IFS='|' read -r change expected width <<<"$case"
  waiter_log=$E2E_OUT/wait-$change.log
  timeout -k 5 60 wine "$VELQUIN_BIN/display_change.exe" --wait 20000 >"$waiter_log" 2>>"$E2E_OUT/wine.log" &
  waiter=$!
  for _ in $(seq 100); do
    grep -q '^ready$' "$waiter_log" && break
    sleep 0.1
  done
  grep -q '^ready$' "$waiter_log" || e2e_abort "display_change.exe --wait did not get its window going"

  check "$change succeeds" "$change"
  wait "$waiter"
  check_eq "after $change a window open before it receives WM_DISPLAYCHANGE and then sees the monitors" \
    "displaychange 32 1920 1080, $expected" "$(grep -v '^ready$' "$waiter_log" | paste -sd, - | sed 's/,/, /g')"
  check_eq "after $change the X screen is" "${width}x1080" "$(xdpyinfo | awk '/dimensions:/ { print $2 }')"
done

# --- Input and screenshots on either monitor -------------------------------------------------------

target_pid=""
target_stop() {
  [ -n "$target_pid" ] || return 0
  probe post "$TARGET_CLASS" 0x0010 0 0 >/dev/null # WM_CLOSE
  for _ in $(seq 50); do
    kill -0 "$target_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$target_pid" 2>/dev/null
  wait "$target_pid" 2>/dev/null
  target_pid=""
}
trap 'target_stop; e2e_cleanup' EXIT

# arrangement | a click target's Windows rectangle: left top width height. The click goes to its middle.
TARGETS=(
  "right_of|2300 200 400 300"
  "left_of|-1000 200 400 300"
  "left_of|300 300 400 300"
)

for case in "${TARGETS[@]}"; do
  IFS='|' read -r side rect <<<"$case"
  read -r left top w h <<<"$rect"
  "monitor_$side" || e2e_abort "monitor_$side failed"
  cx=$((left + w / 2))
  cy=$((top + h / 2))
  where="the window at Windows $left,$top ${w}x$h with the second monitor ${side/_/ } the primary"

  log=$E2E_OUT/click-target-$side-$left.log
  timeout -k 5 "$VELQUIN_LIFETIME" wine "$VELQUIN_BIN/click_target.exe" $rect >"$log" 2>>"$E2E_OUT/wine.log" &
  target_pid=$!
  for _ in $(seq 100); do
    grep -q '^ready$' "$log" && break
    sleep 0.1
  done
  grep -q '^ready$' "$log" || e2e_abort "the click target did not show ($where)"
  check_eq "$where is at its place" "$left,$top,$((left + w)),$((top + h))" \
    "$(eventually 20 0.2 "$left,$top,$((left + w)),$((top + h))" probe_field "$TARGET_CLASS" rect)"

  read -r x y <<<"$(x_from_windows "$cx" "$cy")"
  xdotool mousemove "$x" "$y" click 1
  for _ in $(seq 50); do
    grep -q '^click ' "$log" && break
    sleep 0.1
  done
  check_eq "a click at X $x,$y reaches $where at Windows" "click $cx $cy" "$(grep '^click ' "$log" | head -n 1)"

  shot=$E2E_OUT/screen-$side-$left.png
  for _ in $(seq 20); do
    e2e_screenshot "$shot"
    [ "$(e2e_pixel "$shot" "$x" "$y")" = "$TARGET_GREEN" ] && break
    sleep 0.3
  done
  check_eq "the screenshot is the whole X screen" "3200x1080" "$(/usr/bin/identify -format '%wx%h' "$shot")"
  check_eq "the screenshot shows $where at X $x,$y" "$TARGET_GREEN" "$(e2e_pixel "$shot" "$x" "$y")"
  target_stop
done

e2e_summary
