#!/usr/bin/env bash
# Start-up, single instance, global hotkeys and shutdown of the real Velquin.exe under Wine on a
# 1920x1080 screen, seen from outside the process.
#   startup_e2e.sh BIN_DIR
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

# K is no hotkey of Velquin's: it shows that the probe can tell a free combination from a taken one.
ALL_FREE="M=free Q=free L=free D=free K=free"
VELQUIN_HOLDS="M=taken Q=taken L=taken D=taken K=free"

hotkey_states() {
  probe hotkeys M Q L D K | sed 's/ error=.*//' | paste -sd ' ' -
}

mutex_state() {
  probe mutex "$SINGLE_INSTANCE_MUTEX" | sed 's/ error=.*//'
}

field() {
  sed -n "s/^$2=//p" <<<"$1"
}

# The windows as the rest of the desktop sees them: Win32 attributes through the probe and the X
# windows Wine made for them.
check_windows() {
  local label=$1 overlay toolbar
  overlay=$(probe_report "$OVERLAY_CLASS")
  toolbar=$(probe_report "$TOOLBAR_CLASS")
  check_eq "$label: overlay windows" 1 "$(field "$overlay" count)"
  check_eq "$label: toolbar windows" 1 "$(field "$toolbar" count)"
  check_eq "$label: overlay title" "$WINDOW_TITLE" "$(field "$overlay" title)"
  check_eq "$label: toolbar title" "$WINDOW_TITLE" "$(field "$toolbar" title)"
  check_eq "$label: overlay extended style" 0x00080088 "$(field "$overlay" exstyle)"
  check_eq "$label: toolbar extended style" 0x08080088 "$(field "$toolbar" exstyle)"
  # WS_POPUP, shown (WS_VISIBLE), and WS_CLIPSIBLINGS, which the system gives every top-level window.
  check_eq "$label: overlay style" 0x94000000 "$(field "$overlay" style)"
  check_eq "$label: toolbar style" 0x94000000 "$(field "$toolbar" style)"
  check_eq "$label: overlay owner" none "$(field "$overlay" owner)"
  check_eq "$label: toolbar owner is the overlay" "$(field "$overlay" hwnd)" "$(field "$toolbar" owner)"
  check_eq "$label: overlay rectangle" 1,1,1920,1080 "$(field "$overlay" rect)"
  check_eq "$label: one process owns both" "$(field "$overlay" pid)" "$(field "$toolbar" pid)"
  check "$label: the X screen shows a 1919x1079 window at 1,1" x_window_at 1 1 1919 1079
}

# Whether a window titled Velquin sits on the X screen at X,Y with size WIDTHxHEIGHT, once Wine has
# mapped it.
x_window_at() {
  local window
  for _ in $(seq 20); do
    for window in $(xdotool search --onlyvisible --name "^$WINDOW_TITLE\$"); do
      eval "$(xdotool getwindowgeometry --shell "$window")"
      [ "$X,$Y,${WIDTH}x$HEIGHT" = "$1,$2,$3x$4" ] && return 0
    done
    sleep 0.3
  done
  return 1
}

# --- Nothing runs yet ------------------------------------------------------------------------------
check_eq "before the start: hotkeys" "$ALL_FREE" "$(hotkey_states)"
check_eq "before the start: single-instance mutex" exists=0 "$(mutex_state)"

# --- First instance --------------------------------------------------------------------------------
velquin_start
velquin_wait_windows || e2e_abort "Velquin's windows did not appear within 30 s"
check_windows "first instance"
check_eq "first instance: hotkeys" "$VELQUIN_HOLDS" "$(hotkey_states)"
check_eq "first instance: single-instance mutex" exists=1 "$(mutex_state)"
first_overlay=$(probe_field "$OVERLAY_CLASS" hwnd)
first_toolbar_rect=$(probe_field "$TOOLBAR_CLASS" rect)
e2e_screenshot "$E2E_OUT/first-instance.png"

# --- A second start while the first runs -------------------------------------------------------------
timeout -k 10 120 wine "$VELQUIN_BIN/Velquin.exe" >>"$E2E_OUT/velquin.log" 2>&1 &
second_pid=$!
box=$(probe msgbox "$WINDOW_TITLE" 30000)
e2e_screenshot "$E2E_OUT/second-start.png"
check_eq "second start: message box shown" 1 "$(field "$box" found)"
check_eq "second start: message text" "Velquin zaten çalışıyor." "$(field "$box" text)"
check_eq "second start: buttons" "1:OK" "$(field "$box" button | paste -sd ' ' -)"
check_eq "second start: icon" information "$(field "$box" icon)"
check_eq "second start: box owner" 0x0 "$(field "$box" owner)"
check_eq "second start: still no second overlay" 1 "$(probe_field "$OVERLAY_CLASS" count)"
probe msgbox-ok "$WINDOW_TITLE" >/dev/null
for _ in $(seq 200); do
  kill -0 "$second_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$second_pid" 2>/dev/null; then
  e2e_fail "second start: did not end within 20 s of OK; killed"
  kill "$second_pid"
  wait "$second_pid" 2>/dev/null
else
  wait "$second_pid"
  check_eq "second start: exit code" 0 $?
fi

check "first instance after the second start: still running" velquin_running
check_eq "first instance after the second start: same overlay" "$first_overlay" \
  "$(probe_field "$OVERLAY_CLASS" hwnd)"
check_eq "first instance after the second start: overlay windows" 1 "$(probe_field "$OVERLAY_CLASS" count)"
check_eq "first instance after the second start: hotkeys" "$VELQUIN_HOLDS" "$(hotkey_states)"
check_eq "first instance after the second start: mutex" exists=1 "$(mutex_state)"

# --- Shutdown through the message loop ------------------------------------------------------------
velquin_stop
check_eq "first instance: exit code after WM_QUIT" 0 "$VELQUIN_EXIT"
check "after quitting: overlay gone" probe wait-gone "$OVERLAY_CLASS" 10000
check "after quitting: toolbar gone" probe wait-gone "$TOOLBAR_CLASS" 10000
check_eq "after quitting: hotkeys" "$ALL_FREE" "$(hotkey_states)"
check_eq "after quitting: single-instance mutex" exists=0 "$(mutex_state)"

# --- A new instance, with arguments it must ignore ---------------------------------------------------
velquin_start --help /? -x "two words" 'C:\no such file.txt' ""
velquin_wait_windows || e2e_abort "the new instance's windows did not appear within 30 s"
check_windows "new instance with arguments"
check_eq "new instance with arguments: toolbar rectangle as without" "$first_toolbar_rect" \
  "$(probe_field "$TOOLBAR_CLASS" rect)"
check_eq "new instance with arguments: hotkeys" "$VELQUIN_HOLDS" "$(hotkey_states)"
check_eq "new instance with arguments: single-instance mutex" exists=1 "$(mutex_state)"

# --- Quitting the way a user does: the quit hotkey, pressed as keyboard input ---------------------------
probe chord CTRL+SHIFT+Q >/dev/null
if velquin_wait_exit 20; then
  check_eq "Ctrl+Shift+Q: exit code" 0 "$VELQUIN_EXIT"
else
  e2e_fail "Ctrl+Shift+Q: Velquin still runs 20 s later"
  velquin_stop
fi
check_eq "after Ctrl+Shift+Q: hotkeys" "$ALL_FREE" "$(hotkey_states)"
check_eq "after Ctrl+Shift+Q: single-instance mutex" exists=0 "$(mutex_state)"

e2e_summary
