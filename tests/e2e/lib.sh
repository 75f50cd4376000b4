# Helpers shared by the end-to-end scripts and run.sh: start and stop the real Velquin.exe under Wine,
# ask velquin_probe.exe about it from outside, take screenshots, and check results.
#
# Source it with VELQUIN_BIN set to the directory holding Velquin.exe and velquin_probe.exe, on an X
# display with a Wine prefix (tools/with-wine-display.sh provides both; e2e_begin re-runs the script
# under it when they are missing).

VELQUIN_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
OVERLAY_CLASS=VelquinOverlay
TOOLBAR_CLASS=VelquinBar
WINDOW_TITLE=Velquin
# The mutex name is the program's own choice; read it where the program takes it from.
SINGLE_INSTANCE_MUTEX=$(sed -n 's/.*SINGLE_INSTANCE_MUTEX\[\] = L"\(.*\)";/\1/p' "$VELQUIN_REPO/app/startup.h")

# Longest a started Velquin may live; a run that hangs is ended by this at the latest.
VELQUIN_LIFETIME=${VELQUIN_LIFETIME:-300}

E2E_NAME=$(basename "$0" .sh)
E2E_CHECKS=0
E2E_FAILURES=0
VELQUIN_PID=""
VELQUIN_EXIT=""

# Makes sure there is a display and a prefix (re-running the calling script under a private pair
# when not), checks the screen size the tests assume, and ends any Velquin left running on exit.
#   e2e_begin "$@"   from the top of a script whose first argument is the bin directory
e2e_begin() {
  if [ -z "${DISPLAY:-}" ] || [ -z "${WINEPREFIX:-}" ]; then
    exec "$VELQUIN_REPO/tools/with-wine-display.sh" bash "$0" "$@"
  fi
  VELQUIN_BIN=$(cd "${1:?usage: $0 BIN_DIR}" && pwd)
  [ -n "$SINGLE_INSTANCE_MUTEX" ] || { echo "$E2E_NAME: no mutex name in app/startup.h" >&2; exit 1; }
  E2E_OUT=${VELQUIN_E2E_OUT:-$(dirname "$VELQUIN_BIN")/e2e-output}/$E2E_NAME
  rm -rf "$E2E_OUT"
  mkdir -p "$E2E_OUT"
  trap e2e_cleanup EXIT
  local screen
  screen=$(xdpyinfo | awk '/dimensions:/ { print $2 }')
  [ "$screen" = "${VELQUIN_SCREEN_SIZE:-1920x1080}" ] ||
    e2e_abort "the screen is $screen, these checks expect ${VELQUIN_SCREEN_SIZE:-1920x1080}"
}

e2e_cleanup() {
  if [ -n "$VELQUIN_PID" ] && kill -0 "$VELQUIN_PID" 2>/dev/null; then
    echo "$E2E_NAME: Velquin was still running at the end; ending it" >&2
    kill "$VELQUIN_PID" 2>/dev/null
    wait "$VELQUIN_PID" 2>/dev/null
  fi
}

# --- Running Velquin -------------------------------------------------------------------------------

# velquin_probe.exe with its arguments; stderr (Wine's chatter) goes to the log.
probe() {
  timeout -k 5 60 wine "$VELQUIN_BIN/velquin_probe.exe" "$@" 2>>"$E2E_OUT/wine.log"
}

# The probe's report on the first window of a class: probe_report CLASS. A probe run that reports
# nothing at all (Wine did not get it going) gave no answer, and is asked again.
probe_report() {
  local report
  for _ in 1 2 3; do
    report=$(probe window "$1")
    grep -q '^count=' <<<"$report" && break
    sleep 0.2
  done
  echo "$report"
}

# One line "key=value" of the probe's report on the first window of a class: probe_field CLASS KEY
probe_field() {
  probe_report "$1" | sed -n "s/^$2=//p"
}

# What a command prints once it prints EXPECTED, or what it printed last when TRIES, PAUSE seconds
# apart, are used up: eventually TRIES PAUSE EXPECTED COMMAND...
# Every read of Velquin's windows after a change goes through this, as the screenshots wait for
# what they look for: Velquin acts on a change in its own time (a display change comes as a posted
# message, and the toolbar moves only after the overlay and a push of the whole canvas).
eventually() {
  local tries=$1 pause=$2 expected=$3 value=""
  shift 3
  for _ in $(seq "$tries"); do
    value=$("$@")
    [ "$value" = "$expected" ] && break
    sleep "$pause"
  done
  echo "$value"
}

# Starts Velquin.exe in the background with the given arguments; VELQUIN_PID is its process.
velquin_start() {
  timeout -k 10 "$VELQUIN_LIFETIME" wine "$VELQUIN_BIN/Velquin.exe" "$@" >>"$E2E_OUT/velquin.log" 2>&1 &
  VELQUIN_PID=$!
  VELQUIN_EXIT=""
}

velquin_running() {
  [ -n "$VELQUIN_PID" ] && kill -0 "$VELQUIN_PID" 2>/dev/null
}

# Waits until both windows are shown and Velquin waits for input, its start-up done (the hotkeys
# are claimed after the windows show); fails when that does not come in time or Velquin has ended.
velquin_wait_windows() {
  local class
  for class in "$OVERLAY_CLASS" "$TOOLBAR_CLASS"; do
    probe wait-window "$class" 30000 >/dev/null || return 1
  done
  probe wait-idle "$OVERLAY_CLASS" 30000 >/dev/null || return 1
  velquin_running
}

# Waits up to $1 seconds for Velquin to end by itself; sets VELQUIN_EXIT to its exit code.
velquin_wait_exit() {
  local tenths=$(($1 * 10))
  while velquin_running && [ $tenths -gt 0 ]; do
    sleep 0.1
    tenths=$((tenths - 1))
  done
  velquin_running && return 1
  wait "$VELQUIN_PID"
  VELQUIN_EXIT=$?
  VELQUIN_PID=""
  return 0
}

# Ends Velquin through its message loop (WM_QUIT to its thread) and waits for it; as a last resort it
# is killed and the check fails. VELQUIN_EXIT holds the exit code.
velquin_stop() {
  velquin_running || return 0
  probe quit "$OVERLAY_CLASS" >/dev/null
  if ! velquin_wait_exit 20; then
    e2e_fail "Velquin did not end within 20 s of WM_QUIT; killed"
    kill "$VELQUIN_PID" 2>/dev/null
    wait "$VELQUIN_PID" 2>/dev/null
    VELQUIN_EXIT=killed
    VELQUIN_PID=""
  fi
}

# --- The screen ------------------------------------------------------------------------------------

# Saves the whole X screen as a PNG: e2e_screenshot FILE
e2e_screenshot() {
  xwd -root -silent | /usr/bin/convert xwd:- png:"$1"
}

# The colour of one pixel of a picture as "R,G,B" (0..255): e2e_pixel FILE X Y
e2e_pixel() {
  local p="p{$2,$3}"
  /usr/bin/convert "$1" -format "%[fx:int(255*$p.r+0.5)],%[fx:int(255*$p.g+0.5)],%[fx:int(255*$p.b+0.5)]" info:
}

# --- Checks ----------------------------------------------------------------------------------------

e2e_pass() {
  E2E_CHECKS=$((E2E_CHECKS + 1))
  echo "ok   $1"
}

e2e_fail() {
  E2E_CHECKS=$((E2E_CHECKS + 1))
  E2E_FAILURES=$((E2E_FAILURES + 1))
  echo "FAIL $1"
}

# check_eq WHAT EXPECTED ACTUAL
check_eq() {
  if [ "$2" = "$3" ]; then
    e2e_pass "$1: $3"
  else
    e2e_fail "$1: expected '$2', got '$3'"
  fi
}

# check WHAT COMMAND...: passes when the command succeeds
check() {
  local what=$1
  shift
  if "$@"; then e2e_pass "$what"; else e2e_fail "$what"; fi
}

# Stops the script at once when what follows cannot make sense without this.
e2e_abort() {
  echo "FAIL $1 (cannot go on)"
  E2E_FAILURES=$((E2E_FAILURES + 1))
  e2e_summary
}

# The closing line; the script's exit code says whether everything passed.
e2e_summary() {
  echo "$E2E_NAME: $E2E_CHECKS checks, $E2E_FAILURES failed (screenshots and logs: $E2E_OUT)"
  [ "$E2E_FAILURES" -eq 0 ] && exit 0
  exit 1
}
