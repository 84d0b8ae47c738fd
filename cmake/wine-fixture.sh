#!/usr/bin/env bash
# start <build dir>: a virtual display (Xvfb, 24-bit) and a 32-bit Wine prefix kept alive
# by a persistent wineserver for the whole test run. stop <build dir>: ends both.
set -u
action=$1
# The build folder's wine-env.sh sets the prefix, its word size and the loader.
source "$2/wine-env.sh" || exit 1
mkdir -p "$state"

stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" >/dev/null 2>&1 || true
    rm -f "$state/xvfb.pid"
  fi
  rm -f "$state/display"
}

start() {
  stop
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 </dev/null &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  [ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start"; cat "$state/xvfb.log"; exit 1; }
  echo ":$n" >"$state/display"
  export DISPLAY=":$n"
  wineserver -p >/dev/null 2>&1 </dev/null
  # Start (or create) the prefix here, so that Wine's background services begin
  # with this script's quiet output: started by a test instead, they would hold
  # that test's output pipe open and CTest would wait for them for ever.
  wine wineboot -i >"$state/wineboot.log" 2>&1 </dev/null || { cat "$state/wineboot.log"; exit 1; }
  # There is no window manager on the virtual display: Wine draws the frames itself
  # and does not wait for a manager's answer (two seconds) each time a window hides.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$state/wineboot.log" 2>&1 </dev/null
  echo "display :$n, prefix $WINEPREFIX"
}

case "$action" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop <build dir>"; exit 2 ;;
esac
