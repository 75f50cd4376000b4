#!/usr/bin/env bash
# Runs a command on a private virtual X display with a private Wine prefix and one persistent
# wineserver, then stops exactly what it started, also when the command fails or is interrupted.
#   VELQUIN_SCREEN     screen geometry (default 1920x1080x24)
#   VELQUIN_MONITORS   2: an Xorg with the dummy video driver instead of Xvfb, with two monitors,
#                      a 1920x1080 primary (DUMMY0) and a 1280x720 one (DUMMY1) right of it. Wine
#                      sees RandR outputs as monitors; Xvfb always looks like one monitor to it.
set -u

work=$(mktemp -d /tmp/velquin-wine.XXXXXX)
xvfb_pid=""
xorg_pid=""
server_started=""

# Xorg takes a second or two to go after SIGTERM; one that does not is killed.
stop_xorg() {
  kill "$xorg_pid" 2>/dev/null
  for _ in $(seq 100); do
    kill -0 "$xorg_pid" 2>/dev/null || break
    [ "$(ps -o stat= -p "$xorg_pid" 2>/dev/null | cut -c1)" = Z ] && break
    sleep 0.1
  done
  kill -KILL "$xorg_pid" 2>/dev/null
  wait "$xorg_pid" 2>/dev/null
  xorg_pid=""
}

cleanup() {
  if [ -n "$server_started" ]; then
    WINEPREFIX="$work/prefix" timeout 30 wineserver -k >/dev/null 2>&1
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  [ -n "$xorg_pid" ] && stop_xorg
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

start_xvfb() {
  # -displayfd lets Xvfb choose a free display number itself and tell us which.
  # -noreset keeps the display modes added below when the last X client disconnects.
  Xvfb -displayfd 3 -screen 0 "${VELQUIN_SCREEN:-1920x1080x24}" -nolisten tcp +extension RANDR -noreset \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  if [ ! -s "$work/display" ]; then
    echo "with-wine-display: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi

  export DISPLAY=":$(head -n 1 "$work/display")"

  # A smaller mode for display-change tests. Wine reads the list of modes once when it starts, so it
  # must exist before wineboot.
  xrandr --newmode 1280x720 74.48 1280 1336 1472 1664 720 721 724 746 -hsync +vsync >/dev/null 2>&1
  xrandr --addmode screen 1280x720 >/dev/null 2>&1
}

# The dummy driver draws in memory as Xvfb does, but has real RandR outputs (DUMMY0 ... DUMMY15).
# No input devices, no PCI probing: the server needs neither hardware nor a console. The driver tells
# the server it needs no console, so no VT is opened and none is switched to (DontVTSwitch, -novtswitch
# and -sharevts keep it so should that change); without /dev/tty0, as in a container, it starts alike.
# Virtual bounds the whole desktop: 3200x1080 holds 1920x1080 beside 1280x720 on either side.
write_xorg_conf() {
  cat >"$work/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "AllowMouseOpenFail" "true"
  Option "PciForceNone" "true"
  Option "DontVTSwitch" "true"
EndSection

Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 512000
EndSection

Section "Monitor"
  Identifier "monitor"
  HorizSync 1.0 - 2000.0
  VertRefresh 1.0 - 200.0
  Modeline "1920x1080" 148.50 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync
  Modeline "1280x720" 74.48 1280 1336 1472 1664 720 721 724 746 -hsync +vsync
EndSection

Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1920x1080"
    Virtual 3200 1080
  EndSubSection
EndSection
CONF
}

# One try at an Xorg on a display number it finds free itself (-displayfd, as for Xvfb: taking the
# socket is atomic, so servers of other people starting at the same moment get other numbers).
# Succeeds once RandR answers; otherwise the server is stopped.
try_xorg() {
  local log="$work/xorg-$1.log"
  rm -f "$work/display"
  Xorg -displayfd 3 -config "$work/xorg.conf" -noreset -nolisten tcp -novtswitch -sharevts \
    -logfile "$log" 3>"$work/display" </dev/null >"$work/xorg-$1.out" 2>&1 &
  xorg_pid=$!
  for _ in $(seq 150); do
    kill -0 "$xorg_pid" 2>/dev/null || break
    if [ -s "$work/display" ]; then
      export DISPLAY=":$(head -n 1 "$work/display")"
      xrandr >/dev/null 2>&1 && return 0
    fi
    sleep 0.1
  done
  stop_xorg
  return 1
}

start_xorg_two_monitors() {
  write_xorg_conf
  local attempt
  for attempt in 1 2 3; do
    try_xorg "$attempt" && break
  done
  if [ -z "$xorg_pid" ]; then
    echo "with-wine-display: Xorg did not start" >&2
    tail -n 30 "$work/xorg-$attempt.log" "$work/xorg-$attempt.out" >&2 2>/dev/null
    exit 1
  fi
  # Before wineboot: Wine reads the monitors and their modes when it starts.
  if ! { xrandr --output DUMMY0 --mode 1920x1080 --pos 0x0 --primary &&
         xrandr --addmode DUMMY1 1280x720 &&
         xrandr --output DUMMY1 --mode 1280x720 --right-of DUMMY0 &&
         # The dummy driver calls an output connected only once it has a mode, and says so on the
         # next full query; until then Wine, which reads the server's last answer, sees one monitor.
         xrandr --query | grep -q '^DUMMY1 connected 1280x720+1920+0'; } >"$work/xrandr.log" 2>&1; then
    echo "with-wine-display: could not set up the second monitor" >&2
    cat "$work/xrandr.log" >&2
    exit 1
  fi
  export VELQUIN_MONITORS=2
}

case "${VELQUIN_MONITORS:-1}" in
  1) start_xvfb ;;
  2) start_xorg_two_monitors ;;
  *) echo "with-wine-display: VELQUIN_MONITORS is 1 or 2, not '$VELQUIN_MONITORS'" >&2; exit 2 ;;
esac

export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

server_started=1
mkdir -p "$WINEPREFIX"
wineserver -p
timeout 180 wineboot -i >/dev/null 2>&1
# A crash would otherwise start Wine's debugger, which waits forever.
timeout 60 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
  /v Debugger /d '' /f >/dev/null 2>&1
timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
  >/dev/null 2>&1

"$@"
