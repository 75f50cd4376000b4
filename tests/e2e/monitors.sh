# Helpers for end-to-end scripts that need two monitors: a display of their own with a 1920x1080
# primary (DUMMY0) and a 1280x720 second monitor (DUMMY1), changes to the arrangement that reach the
# Windows programs as on Windows, and the translation between Windows and X coordinates.
#
#   monitors_begin "$@"     instead of e2e_begin, from the top of the script: re-runs it on a private
#                           two-monitor display and prefix (VELQUIN_MONITORS=2 with-wine-display.sh),
#                           the second monitor right of the primary
#   monitor_right_of        the second monitor on, right of the primary: Windows 1920 0 3200 720
#   monitor_left_of         the second monitor on, left of the primary:  Windows -1280 0 0 720
#   monitor_off             the second monitor off: the primary alone
#   monitor_on              the second monitor on again, on the side where it was last
#   monitor_list            the monitors as Windows programs see them, on one line:
#                           "0 0 1920 1080 primary, 1920 0 3200 720" (the primary first)
#   x_from_windows X Y      "XR YR": the X root position (xdotool, screenshots) of a Windows desktop
#                           position; the primary is at Windows (0, 0) wherever it lies on the X screen
#
# Each monitor_* change is made with xrandr, waits until Windows programs see the new arrangement (Wine
# notices it in well under a second), and then makes Wine send WM_DISPLAYCHANGE to every window through
# display_change.exe, since Wine sends none for an xrandr change by itself, where Windows would. It
# fails, saying why on stderr, when Wine does not see the arrangement within 10 s or the display
# change fails. Source this file after lib.sh, or alone (it sources lib.sh then).

declare -F e2e_begin >/dev/null || source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

SECOND_MONITOR_SIDE=right

monitors_begin() {
  if [ -z "${VELQUIN_OWN_MONITORS_DISPLAY:-}" ]; then
    # Always a display of its own: the arrangement changes, and other scripts must not see that.
    exec env -u DISPLAY -u WINEPREFIX VELQUIN_MONITORS=2 VELQUIN_OWN_MONITORS_DISPLAY=1 \
      "$VELQUIN_REPO/tools/with-wine-display.sh" bash "$0" "$@"
  fi
  VELQUIN_SCREEN_SIZE=3200x1080 e2e_begin "$@"
}

_monitors_wine_log() {
  if [ -n "${E2E_OUT:-}" ]; then echo "$E2E_OUT/wine.log"; else echo /dev/null; fi
}

_display_change() {
  timeout -k 5 60 wine "${VELQUIN_BIN:?VELQUIN_BIN is the directory of display_change.exe}/display_change.exe" \
    "$@" 2>>"$(_monitors_wine_log)"
}

monitor_list() {
  _display_change --list | paste -sd, - | sed 's/,/, /g'
}

# The active outputs as "NAME X Y WIDTH HEIGHT primary?", one a line, from the X server's last answer.
_x_outputs() {
  xrandr --current | sed -n 's/^\([^ ]*\) connected \(primary \)\{0,1\}\([0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\).*/\1 \5 \6 \3 \4 \2/p'
}

# What monitor_list should say for the X server's arrangement.
_monitors_expected() {
  _x_outputs | awk '
    { name[NR] = $1; x[NR] = $2; y[NR] = $3; w[NR] = $4; h[NR] = $5; if ($6 == "primary") p = NR }
    END {
      for (i = 1; i <= NR; i++)
        printf "%d %d %d %d %d%s\n", i != p, x[i] - x[p], y[i] - y[p], x[i] - x[p] + w[i], y[i] - y[p] + h[i],
               i == p ? " primary" : ""
    }' | sort -k1,1n -k2,2n -k3,3n | cut -d' ' -f2- | paste -sd, - | sed 's/,/, /g'
}

x_from_windows() {
  local origin
  origin=$(_x_outputs | awk '$6 == "primary" { print $2, $3 }')
  [ -n "$origin" ] || { echo "x_from_windows: no primary monitor" >&2; return 1; }
  echo $(($1 + ${origin% *})) $(($2 + ${origin#* }))
}

# Waits until Windows programs see what X has, then sends WM_DISPLAYCHANGE.
_monitors_settle() {
  local expected seen=""
  expected=$(_monitors_expected)
  for _ in $(seq 50); do
    seen=$(monitor_list)
    [ "$seen" = "$expected" ] && break
    sleep 0.2
  done
  if [ "$seen" != "$expected" ]; then
    echo "monitors: Windows programs see '$seen', not '$expected' as X has it" >&2
    return 1
  fi
  local result
  result=$(_display_change) || { echo "monitors: the display change failed: $result" >&2; return 1; }
}

_monitor_place() {
  SECOND_MONITOR_SIDE=$1
  xrandr --output DUMMY1 --mode 1280x720 "--$1-of" DUMMY0 || return 1
  _monitors_settle
}

monitor_right_of() { _monitor_place right; }
monitor_left_of() { _monitor_place left; }
monitor_on() { _monitor_place "$SECOND_MONITOR_SIDE"; }

monitor_off() {
  xrandr --output DUMMY1 --off || return 1
  _monitors_settle
}
