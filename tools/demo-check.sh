#!/usr/bin/env bash
# The run command as a user with a display runs it: tools/demo.sh with DISPLAY set
# to a virtual display of this script's own, the editor closed once the demo says
# it waits for that (as its close box would: WM_CLOSE to its window). As on a
# user's desktop, other programs' windows are there first, more of them than a
# pipe holds when listed (xwininfo -tree). Passes when the demo ends with 0, its
# screenshot shows the editor's window, not the whole screen, and the demo built
# the help file beside the editor itself.
# TARN_BUILD_DIR names another Windows build folder (default build/windows).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${TARN_BUILD_DIR:-build/windows}
case "$build" in /*) ;; *) build=$root/$build ;; esac
help_file="$build/bin/VORN CSV Log Editor.chm"
shot=$build/demo/tarnlog.png

work=$(mktemp -d)
xvfb=
others=
demo=
# Whatever is left of the editor ends with the prefix's Wine processes.
end_wine() {
  [ ! -f "$build/wine-env.sh" ] || (source "$build/wine-env.sh" && wineserver -k) >/dev/null 2>&1 || true
}
finish() {
  [ -z "$demo" ] || kill "$demo" 2>/dev/null || true
  [ -z "$others" ] || kill "$others" 2>/dev/null || true
  end_wine
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display number itself and writes it to the descriptor.
setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 </dev/null &
xvfb=$!
while kill -0 "$xvfb" 2>/dev/null && [ ! -s "$work/display" ]; do sleep 0.1; done
[ -s "$work/display" ] || { echo "demo-check: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
display=:$(tr -d '\n' <"$work/display")

# The other programs' windows: 2,000 named ones, through libX11, held until the end.
DISPLAY=$display python3 - >"$work/others.txt" 2>&1 <<'PYTHON' &
import ctypes, signal, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XCreateSimpleWindow.restype = ctypes.c_ulong
x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                  ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
x.XStoreName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_char_p]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
display = x.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
root = x.XDefaultRootWindow(display)
for i in range(2000):
    window = x.XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0)
    x.XStoreName(display, window, b"A window of another program (%d)" % i)
x.XSync(display, 0)
print("ready", flush=True)
signal.pause()
PYTHON
others=$!
while kill -0 "$others" 2>/dev/null && ! grep -q ready "$work/others.txt"; do sleep 0.1; done
grep -q ready "$work/others.txt" || { echo "demo-check: no windows of other programs" >&2; cat "$work/others.txt" >&2; exit 1; }

# The demo must build the help file itself, not find the test build's.
rm -f "$help_file" "$shot"
start=$(date +%s)
DISPLAY=$display bash tools/demo.sh >"$work/demo.txt" 2>&1 &
demo=$!
ready='the demo ends when you close it'
while kill -0 "$demo" 2>/dev/null && ! grep -q "$ready" "$work/demo.txt"; do sleep 0.5; done
closed=0
if grep -q "$ready" "$work/demo.txt"; then
  DISPLAY=$display TARN_KEEP_DISPLAY=1 "$build/wine-run.sh" "$build/bin/editor_window.exe" close && closed=1
  # An editor that did not end would keep the demo waiting.
  [ "$closed" = 1 ] || end_wine
fi
rc=0
wait "$demo" || rc=$?
demo=
seconds=$(($(date +%s) - start))

failures=()
[ "$rc" = 0 ] || failures+=("the demo ended with $rc")
[ "$closed" = 1 ] || failures+=("the editor could not be closed from outside")
size=
if [ -s "$shot" ]; then
  size=$(identify -format '%wx%h' "$shot")
  [ "$size" != 1280x1024 ] || failures+=("the screenshot shows the whole screen, not the editor's window")
else
  failures+=("no screenshot at $shot")
fi
[ -s "$help_file" ] || failures+=("the demo did not build $help_file")
if [ ${#failures[@]} -gt 0 ]; then
  cat "$work/demo.txt"
  printf 'demo-check: FAIL: %s\n' "${failures[@]}" >&2
  exit 1
fi
echo "demo-check: the demo on display $display ended with 0 after ${seconds} s; screenshot $shot ($size), help file built"
