#!/usr/bin/env bash
# Acceptance of the modes, the toolbar, a display change and quitting, on the real Velquin.exe under
# Wine, driven with real X input (xdotool) and judged from screenshots and window queries:
# pass-through by right click, Esc, M and Ctrl+Shift+M with a click reaching the application below
# while the ink stays visible; the toolbar's hover plate, every entry's command, dragging by the grip,
# turning by double-click and by V; a real change of the screen size; Ctrl+Shift+Q and the quit entry.
#   acceptance_modes_e2e.sh BIN_DIR
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

# --- What the screen should show -------------------------------------------------------------------
# Without a compositing manager the screen shows every layered pixel of alpha >= 1 unblended, as its
# premultiplied value: the overlay's see-through ground reads black.
RED=239,68,68
BLUE=59,130,246
GROUND=0,0,0
BOARD_WHITE=255,255,255
TARGET_GREEN=40,160,90
# Toolbar plates as the screen shows them: the bar alone, the faint hover plate on it, the blue plate.
BAR=26,28,35
HOVER_PLATE=57,59,64
ACTIVE_PLATE=59,130,246

# The toolbar's entries along its main axis, [start, end), in list order (index 0 the grip).
ENTRY_START=(6 20 56 65 101 137 173 209 218 248 278 308 338 368 398 428 458 467 497 527 557 566 602 638 674 683 719)
ENTRY_END=(18 54 63 99 135 171 207 216 246 276 306 336 366 396 426 456 465 495 525 555 564 600 636 672 681 717 753)
GRIP=0 PASS_THROUGH=1 PEN=3 HIGHLIGHTER=4 LASER=5 ERASER=6 SWATCH_GREEN=11 SWATCH_BLUE=12
WIDTH_THIN=17 WIDTH_MIDDLE=18 WIDTH_THICK=19 UNDO=21 CLEAR=22 BOARD=23 ORIENTATION=25 QUIT=26

# Preferred toolbar places on 1920x1080 (canvas 1919x1079 at 1,1) and on 1280x720.
HORIZONTAL_HOME=581,986,759x46
VERTICAL_HOME=19,161,46x759
HORIZONTAL_HOME_720=261,626,759x46

OPAQUE=0x00080088
TRANSPARENT=0x000800A8 # the same with WS_EX_TRANSPARENT

# An ordinary application under the overlay. Its left column lies in the screen's column 0, which the
# overlay leaves uncovered, so the user can click it to give it the focus without pass-through.
TARGET_CLASS=VelquinTestClickTarget
TARGET_UNCOVERED_X=0
TARGET_UNCOVERED_Y=350
# A pen stroke over the application, from x 250 to 550 on row 260.
INK_X=400
INK_Y=260
# Somewhere over the overlay away from the toolbar and the application: a place to park the mouse.
PARK_X=1700
PARK_Y=150

# --- Helpers -----------------------------------------------------------------------------------------

display_changed=""
target_pid=""

target_start() {
  timeout -k 5 "$VELQUIN_LIFETIME" wine "$VELQUIN_BIN/click_target.exe" 0 200 600 300 \
    >"$E2E_OUT/click-target.log" 2>>"$E2E_OUT/wine.log" &
  target_pid=$!
  for _ in $(seq 100); do
    grep -q '^ready$' "$E2E_OUT/click-target.log" && return 0
    sleep 0.1
  done
  return 1
}

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

# What the application reported from now on: mark, act, then target_since.
target_mark() { target_lines=$(wc -l <"$E2E_OUT/click-target.log"); }
target_since() { tail -n +$((target_lines + 1)) "$E2E_OUT/click-target.log"; }

acceptance_cleanup() {
  if [ -n "$display_changed" ]; then
    probe display 1920 1080 >/dev/null || xrandr -s 1920x1080
  fi
  target_stop
  e2e_cleanup
}
trap acceptance_cleanup EXIT

# The X window Wine made for a Velquin window of the given size, once there is one: x_window WIDTH HEIGHT
x_window() {
  local window size
  for _ in $(seq 20); do
    for window in $(xdotool search --onlyvisible --name "^$WINDOW_TITLE\$"); do
      size=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=//p; s/^HEIGHT=//p' | paste -sd x -)
      [ "$size" = "$1x$2" ] && echo "$window" && return 0
    done
    sleep 0.3
  done
  return 1
}

# Keys go to the foreground Wine window once a Wine window has the X focus.
key_on() {
  local window=$1
  shift
  xdotool windowfocus --sync "$window" key "$@"
  sleep 0.3
}

key_on_overlay() { key_on "$(x_window 1919 1079)" "$@"; }
key_on_target() { key_on "$(xdotool search --name '^Click target$' | head -n 1)" "$@"; }

# A field of the overlay's report once it reads EXPECTED, or as it is when the tries are used up:
# overlay_field_becomes KEY EXPECTED TRIES PAUSE
overlay_field_becomes() { eventually "$3" "$4" "$2" probe_field "$OVERLAY_CLASS" "$1"; }

overlay_exstyle() { overlay_field_becomes exstyle "$1" 20 0.3; }

# The toolbar's rectangle where it is now, into TB_L TB_T TB_R TB_B (call it in this shell, not in $()).
read_toolbar() {
  IFS=, read -r TB_L TB_T TB_R TB_B <<<"$(probe_field "$TOOLBAR_CLASS" rect)"
}

# The toolbar's place and size as "x,y,WIDTHxHEIGHT".
toolbar_place() {
  read_toolbar
  echo "$TB_L,$TB_T,$((TB_R - TB_L))x$((TB_B - TB_T))"
}

# Checks the toolbar's place and size, "x,y,WIDTHxHEIGHT", once the toolbar has had its time to get
# there, and keeps its rectangle for what follows: check_toolbar WHAT EXPECTED
check_toolbar() {
  local place width height
  place=$(eventually 20 0.3 "$2" toolbar_place)
  check_eq "$1" "$2" "$place"
  IFS=,x read -r TB_L TB_T width height <<<"$place"
  TB_R=$((TB_L + width))
  TB_B=$((TB_T + height))
}

# The overlay's rectangle once it reads EXPECTED, given a display change some seconds to settle.
overlay_rect_becomes() { overlay_field_becomes rect "$1" 20 0.3; }

# Screen point of an entry: at OFFSET along the main axis from the entry's start (its centre when
# OFFSET is "centre"), on the middle of the cross axis. Needs read_toolbar first.
entry_point() {
  local i=$1 offset=$2 along
  if [ "$offset" = centre ]; then
    along=$(((ENTRY_START[i] + ENTRY_END[i]) / 2))
  else
    along=$((ENTRY_START[i] + offset))
  fi
  if [ $((TB_R - TB_L)) -gt $((TB_B - TB_T)) ]; then
    echo "$((TB_L + along)) $((TB_T + 23))"
  else
    echo "$((TB_L + 23)) $((TB_T + along))"
  fi
}

# Clicks an entry (where read_toolbar last found the toolbar) and parks the mouse, so no hover plate
# is left behind.
click_entry() {
  # shellcheck disable=SC2046
  xdotool mousemove $(entry_point "$1" centre) click 1
  sleep 0.2
  park_mouse
}

park_mouse() {
  xdotool mousemove "$PARK_X" "$PARK_Y"
  # Wine notices that the mouse left the toolbar on its leave-tracking timer.
  sleep 0.7
}

# A straight pen stroke along one row: draw_line X1 X2 Y
draw_line() {
  xdotool mousemove "$1" "$3" mousedown 1 sleep 0.05 mousemove $((($1 + $2) / 2)) "$3" sleep 0.05 \
    mousemove "$2" "$3" sleep 0.05 mouseup 1
  sleep 0.3
}

# Takes a screenshot NAME.png (to look at) with its raw RGB bytes (to read pixels from).
shot() {
  SHOT_W=$(xdpyinfo | awk '/dimensions:/ { split($2, size, "x"); print size[1] }')
  SHOT=$E2E_OUT/$1.rgb
  xwd -root -silent | /usr/bin/convert xwd:- -write png:"$E2E_OUT/$1.png" -depth 8 rgb:"$SHOT"
}

# "R,G,B" of a pixel of the last screenshot: pixel X Y
pixel() {
  od -An -tu1 -j $((($2 * SHOT_W + $1) * 3)) -N3 "$SHOT" | awk '{ print $1 "," $2 "," $3 }'
}

# How many pixels of one colour a column of the last screenshot holds from Y-15 to Y+15: the width
# of a line drawn along row Y. ink_rows X Y COLOUR
ink_rows() {
  local y rows=0
  for y in $(seq $(($2 - 15)) $(($2 + 15))); do
    [ "$(pixel "$1" "$y")" = "$3" ] && rows=$((rows + 1))
  done
  echo "$rows"
}

# What lies behind an entry in the last screenshot: active, hover, none, or the colour read. The
# point is 2 pixels into the entry, clear of its icon. Needs read_toolbar first.
plate() {
  local colour
  # shellcheck disable=SC2046
  colour=$(pixel $(entry_point "$1" 2))
  case $colour in
  "$ACTIVE_PLATE") echo active ;;
  "$HOVER_PLATE") echo hover ;;
  "$BAR") echo none ;;
  *) echo "$colour" ;;
  esac
}

# The plates of the pass-through entry and the four tools, in toolbar order. Needs read_toolbar first.
mode_plates() {
  echo "pass-through=$(plate $PASS_THROUGH) pen=$(plate $PEN) highlighter=$(plate $HIGHLIGHTER)" \
    "laser=$(plate $LASER) eraser=$(plate $ERASER)"
}

PASS_THROUGH_PLATES="pass-through=active pen=none highlighter=none laser=none eraser=none"
PEN_PLATES="pass-through=none pen=active highlighter=none laser=none eraser=none"

hotkey_states() { probe hotkeys M Q L D | sed 's/ error=.*//' | paste -sd ' ' -; }
mutex_state() { probe mutex "$SINGLE_INSTANCE_MUTEX" | sed 's/ error=.*//'; }

# After Velquin has ended: its exit code, windows, hotkeys and mutex. quit_checks LABEL
quit_checks() {
  check_eq "$1: Velquin's exit code" 0 "$VELQUIN_EXIT"
  check "$1: the overlay is gone" probe wait-gone "$OVERLAY_CLASS" 10000
  check "$1: the toolbar is gone" probe wait-gone "$TOOLBAR_CLASS" 10000
  check_eq "$1: the hotkeys are free again" "M=free Q=free L=free D=free" "$(hotkey_states)"
  check_eq "$1: the single-instance mutex is released" exists=0 "$(mutex_state)"
}

# --- Start: an application first, then Velquin above it ----------------------------------------------
# Wine stacks a window mapped later above the earlier ones whatever their top-most flags, so the
# application is started first, as it would already run when the user starts Velquin.
target_start || e2e_abort "the click target did not start"
velquin_start
velquin_wait_windows || e2e_abort "Velquin's windows did not appear within 30 s"
read_toolbar
sleep 0.5
draw_line 250 550 "$INK_Y"
shot start
check_eq "start: the pen stroke over the application is on screen" "$RED" "$(pixel $INK_X $INK_Y)"
check_eq "start: the overlay covers the application" "$GROUND" "$(pixel 500 450)"
check_eq "start: the application shows in the uncovered left column" "$TARGET_GREEN" \
  "$(pixel $TARGET_UNCOVERED_X $TARGET_UNCOVERED_Y)"

# --- Pass-through: each way on, a click reaching the application, ink still shown -----------------
# With pass-through on: the toolbar shows it, a click at (400, Y) goes to the application below and
# draws nothing, and the ink stays visible above the application. clicks_reach_below LABEL Y
clicks_reach_below() {
  local label=$1 y=$2
  shot "${label// /-}-on"
  check_eq "$label: the toolbar shows pass-through on and no tool" "$PASS_THROUGH_PLATES" "$(mode_plates)"
  target_mark
  xdotool mousemove $INK_X "$y" click 1
  sleep 0.5
  check_eq "$label: a click reaches the application below" "click $INK_X $y" "$(target_since | grep '^click')"
  shot "${label// /-}-clicked"
  check_eq "$label: the ink stays visible above the application" "$RED" "$(pixel $INK_X $INK_Y)"
  check_eq "$label: the click drew nothing and the overlay stays on top" "$GROUND" "$(pixel $INK_X "$y")"
}

# Ctrl+Shift+M while the application has the focus: the user clicks it where the overlay leaves the
# screen uncovered, then presses the hotkey, whose keys would otherwise reach the application.
label="pass-through by Ctrl+Shift+M from another application"
target_mark
xdotool mousemove $TARGET_UNCOVERED_X $TARGET_UNCOVERED_Y click 1
sleep 0.5
check_eq "$label: the application has the focus" focus "$(target_since | grep -m 1 '^focus')"
target_mark
key_on_target ctrl+shift+m
check_eq "$label: the overlay lets the mouse through (WS_EX_TRANSPARENT)" "$TRANSPARENT" \
  "$(overlay_exstyle "$TRANSPARENT")"
check_eq "$label: Ctrl and Shift went to the application, M to the hotkey" "key 0x11 key 0x10" \
  "$(target_since | grep '^key' | paste -sd ' ' -)"
clicks_reach_below "$label" 420
key_on_target ctrl+shift+m
check_eq "$label: pressed again, it switches pass-through off" "$OPAQUE" "$(overlay_exstyle "$OPAQUE")"

label="pass-through by right click"
xdotool mousemove 900 600 click 3
check_eq "$label: the overlay lets the mouse through (WS_EX_TRANSPARENT)" "$TRANSPARENT" \
  "$(overlay_exstyle "$TRANSPARENT")"
clicks_reach_below "$label" 440
key_on_target ctrl+shift+m
check_eq "$label: Ctrl+Shift+M switches it off" "$OPAQUE" "$(overlay_exstyle "$OPAQUE")"

label="pass-through by Esc"
key_on_overlay Escape
check_eq "$label: the overlay lets the mouse through (WS_EX_TRANSPARENT)" "$TRANSPARENT" \
  "$(overlay_exstyle "$TRANSPARENT")"
key_on_overlay Escape
sleep 0.3
check_eq "$label: a second Esc leaves it on" "$TRANSPARENT" "$(probe_field "$OVERLAY_CLASS" exstyle)"
clicks_reach_below "$label" 460
key_on_target ctrl+shift+m
check_eq "$label: Ctrl+Shift+M switches it off" "$OPAQUE" "$(overlay_exstyle "$OPAQUE")"

label="pass-through by M"
key_on_overlay m
check_eq "$label: the overlay lets the mouse through (WS_EX_TRANSPARENT)" "$TRANSPARENT" \
  "$(overlay_exstyle "$TRANSPARENT")"
key_on_overlay m
check_eq "$label: M again switches it off" "$OPAQUE" "$(overlay_exstyle "$OPAQUE")"
key_on_overlay m
overlay_exstyle "$TRANSPARENT" >/dev/null
clicks_reach_below "$label" 480
key_on_target ctrl+shift+m
check_eq "$label: Ctrl+Shift+M from the application switches it off" "$OPAQUE" "$(overlay_exstyle "$OPAQUE")"
target_mark
xdotool mousemove $INK_X 490 click 1
sleep 0.5
shot pass-through-off-click
check_eq "pass-through off: a click over the application draws on the overlay" "$RED" "$(pixel $INK_X 490)"
check_eq "pass-through off: the application gets no click" "" "$(target_since | grep '^click')"

# --- The toolbar's hover plate -----------------------------------------------------------------------
# shellcheck disable=SC2046
xdotool mousemove $(entry_point $SWATCH_GREEN centre)
sleep 0.5
shot hover-swatch
check_eq "hover: the mouse over the green swatch shows the faint plate behind it" \
  "green=hover undo=none" "green=$(plate $SWATCH_GREEN) undo=$(plate $UNDO)"
# shellcheck disable=SC2046
xdotool mousemove $(entry_point $UNDO centre)
sleep 0.5
shot hover-undo
check_eq "hover: moving on to the undo entry moves the plate with it" \
  "green=none undo=hover" "green=$(plate $SWATCH_GREEN) undo=$(plate $UNDO)"
park_mouse
shot hover-left
check_eq "hover: leaving the toolbar removes the plate" "green=none undo=none" \
  "green=$(plate $SWATCH_GREEN) undo=$(plate $UNDO)"

# --- Every entry's command, by a real click ------------------------------------------------------------
tool_names=([PEN]=pen [HIGHLIGHTER]=highlighter [LASER]=laser [ERASER]=eraser)
for tool in $HIGHLIGHTER $LASER $ERASER $PEN; do
  click_entry "$tool"
  shot "tool-${tool_names[tool]}"
  expected=$(sed "s/=active/=none/; s/${tool_names[tool]}=none/${tool_names[tool]}=active/" <<<"$PEN_PLATES")
  check_eq "toolbar ${tool_names[tool]} entry: selects that tool" "$expected" "$(mode_plates)"
done

click_entry $SWATCH_BLUE
draw_line 700 900 620
shot swatch-blue
check_eq "toolbar blue swatch: the next stroke is blue" "$BLUE" "$(pixel 800 620)"

click_entry $WIDTH_THICK
draw_line 1000 1200 620
click_entry $WIDTH_THIN
draw_line 1000 1200 680
click_entry $WIDTH_MIDDLE
shot width-dots
# The pen draws 0.85 of the base width at the mouse's pressure: about 10 and 2 pixels.
thick=$(ink_rows 1100 620 "$BLUE")
thin=$(ink_rows 1100 680 "$BLUE")
check "toolbar thick width dot: a thick line ($thick pixels across)" test "$thick" -ge 9 -a "$thick" -le 11
check "toolbar thin width dot: a thin line ($thin pixels across)" test "$thin" -ge 2 -a "$thin" -le 3

draw_line 700 900 740
shot before-undo
check_eq "toolbar undo entry: (a stroke to undo is on screen)" "$BLUE" "$(pixel 800 740)"
click_entry $UNDO
shot undo
check_eq "toolbar undo entry: removes the newest stroke" "$GROUND" "$(pixel 800 740)"
check_eq "toolbar undo entry: keeps the older strokes" "$BLUE" "$(pixel 800 620)"

click_entry $PASS_THROUGH
shot pass-through-entry-on
check_eq "toolbar pass-through entry: switches pass-through on" "$TRANSPARENT" "$(overlay_exstyle "$TRANSPARENT")"
check_eq "toolbar pass-through entry: the toolbar shows it on" "$PASS_THROUGH_PLATES" "$(mode_plates)"
click_entry $PASS_THROUGH
shot pass-through-entry-off
check_eq "toolbar pass-through entry: clicked again, switches it off" "$OPAQUE" "$(overlay_exstyle "$OPAQUE")"
check_eq "toolbar pass-through entry: the toolbar shows the pen again" "$PEN_PLATES" "$(mode_plates)"

click_entry $PASS_THROUGH
click_entry $BOARD
shot board-on
check_eq "toolbar board entry: the ground turns white" "$BOARD_WHITE" "$(pixel 1500 500)"
check_eq "toolbar board entry: the ink stays as it was" "$RED,$BLUE" "$(pixel $INK_X $INK_Y),$(pixel 800 620)"
check_eq "toolbar board entry: the entry shows the board on" active "$(plate $BOARD)"
check_eq "toolbar board entry: turning the board on takes the mouse back from pass-through" "$OPAQUE" \
  "$(overlay_exstyle "$OPAQUE")"
click_entry $BOARD
shot board-off
check_eq "toolbar board entry: clicked again, the ground is see-through again" "$GROUND" "$(pixel 1500 500)"
check_eq "toolbar board entry: the entry shows the board off" none "$(plate $BOARD)"

click_entry $CLEAR
shot clear
check_eq "toolbar clear entry: removes all ink" "$GROUND,$GROUND,$GROUND" \
  "$(pixel $INK_X $INK_Y),$(pixel 800 620),$(pixel 1100 620)"

click_entry $ORIENTATION
check_toolbar "toolbar orientation entry: turns the toolbar upright at its place" "$VERTICAL_HOME"
click_entry $ORIENTATION
check_toolbar "toolbar orientation entry: clicked again, lays it flat at its place" "$HORIZONTAL_HOME"

# --- Dragging by the grip, turning by double-click and by V -------------------------------------------
read -r grip_x grip_y <<<"$(entry_point $GRIP centre)"
xdotool mousemove "$grip_x" "$grip_y" mousedown 1 sleep 0.1 mousemove $((grip_x - 100)) $((grip_y - 150)) \
  sleep 0.1 mousemove $((grip_x - 200)) $((grip_y - 300)) sleep 0.1 mousemove $((grip_x - 300)) $((grip_y - 400)) \
  sleep 0.2 mouseup 1
sleep 0.3
check_toolbar "grip drag: the toolbar moves by the cursor's way" 281,586,759x46
xdotool mousemove 1000 300
sleep 0.3
check_toolbar "grip drag: after the release the toolbar no longer follows the mouse" 281,586,759x46
shot dragged
check_eq "grip drag: the dragged toolbar still shows the pen" "$PEN_PLATES" "$(mode_plates)"

# shellcheck disable=SC2046
xdotool mousemove $(entry_point $GRIP centre) click --repeat 2 --delay 80 1
sleep 0.5
check_toolbar "grip double-click: turns the dragged toolbar upright at its place" "$VERTICAL_HOME"
# shellcheck disable=SC2046
xdotool mousemove $(entry_point $GRIP centre) click --repeat 2 --delay 80 1
sleep 0.5
check_toolbar "grip double-click: again, lays it flat at its place" "$HORIZONTAL_HOME"
park_mouse

key_on_overlay v
check_toolbar "key V: turns the toolbar upright at its place" "$VERTICAL_HOME"
shot vertical
check_eq "key V: the upright toolbar shows the pen" "$PEN_PLATES" "$(mode_plates)"
key_on_overlay v
check_toolbar "key V: again, lays it flat at its place" "$HORIZONTAL_HOME"

# --- A real change of the screen size ----------------------------------------------------------------
# Blue strokes (the colour chosen last): one inside a 1280x720 screen, one beyond it.
draw_line 300 500 300
draw_line 1500 1700 900
read -r grip_x grip_y <<<"$(entry_point $GRIP centre)"
xdotool mousemove "$grip_x" "$grip_y" mousedown 1 sleep 0.1 mousemove $((grip_x - 200)) $((grip_y - 250)) \
  sleep 0.1 mousemove $((grip_x - 400)) $((grip_y - 500)) sleep 0.2 mouseup 1
park_mouse
check_toolbar "display change: (the toolbar was dragged away first)" 181,486,759x46

mode_added=""
if ! xrandr | grep -q '^ *1280x720 '; then
  mode_added=1
  xrandr --newmode 1280x720 74.48 1280 1336 1472 1664 720 721 724 746 -hsync +vsync
  xrandr --addmode screen 1280x720
fi
display_changed=1
check_eq "display change to 1280x720: the system accepts it" result=0 "$(probe display 1280 720)"
check_eq "display change to 1280x720: the overlay covers the new screen but its top row and left column" \
  1,1,1280,720 "$(overlay_rect_becomes 1,1,1280,720)"
check_toolbar "display change to 1280x720: the toolbar is back at its place" "$HORIZONTAL_HOME_720"
sleep 0.3
shot display-1280x720
check_eq "display change to 1280x720: the screenshot is of the new size" 1280 "$SHOT_W"
check_eq "display change to 1280x720: the ink keeps its pixel position" "$BLUE,$GROUND" \
  "$(pixel 400 300),$(pixel 400 320)"
check_eq "display change to 1280x720: the toolbar is drawn at its new place" "$PEN_PLATES" "$(mode_plates)"

check_eq "display change back to 1920x1080: the system accepts it" result=0 "$(probe display 1920 1080)"
check_eq "display change back to 1920x1080: the overlay follows" 1,1,1920,1080 \
  "$(overlay_rect_becomes 1,1,1920,1080)"
display_changed=""
check_toolbar "display change back to 1920x1080: the toolbar is back at its place" "$HORIZONTAL_HOME"
sleep 0.3
shot display-1920x1080
check_eq "display change back to 1920x1080: the ink keeps its pixel position" "$BLUE" "$(pixel 400 300)"
check_eq "display change back to 1920x1080: ink beyond the smaller screen comes back" "$BLUE" "$(pixel 1600 900)"
[ -n "$mode_added" ] && xrandr --delmode screen 1280x720 && xrandr --rmmode 1280x720

# --- Quitting ----------------------------------------------------------------------------------------
# The quit hotkey, pressed while the other application has the focus.
xdotool mousemove $TARGET_UNCOVERED_X $TARGET_UNCOVERED_Y click 1
key_on_target ctrl+shift+q
if velquin_wait_exit 20; then
  quit_checks "Ctrl+Shift+Q"
else
  e2e_fail "Ctrl+Shift+Q: Velquin still runs 20 s later"
  velquin_stop
fi

velquin_start
velquin_wait_windows || e2e_abort "Velquin's windows did not appear again within 30 s"
read_toolbar
sleep 0.5
click_entry $QUIT
if velquin_wait_exit 20; then
  quit_checks "toolbar quit entry"
else
  e2e_fail "toolbar quit entry: Velquin still runs 20 s later"
  velquin_stop
fi

e2e_summary
