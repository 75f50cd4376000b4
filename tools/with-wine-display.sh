#!/usr/bin/env bash
# Runs a command on a private virtual X display with a private Wine prefix and one persistent
# wineserver, then stops exactly what it started, also when the command fails or is interrupted.
#   VELQUIN_SCREEN   screen geometry (default 1920x1080x24)
set -u

work=$(mktemp -d /tmp/velquin-wine.XXXXXX)
xvfb_pid=""
server_started=""

cleanup() {
  if [ -n "$server_started" ]; then
    WINEPREFIX="$work/prefix" timeout 30 wineserver -k >/dev/null 2>&1
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

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
