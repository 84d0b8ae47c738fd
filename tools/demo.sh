#!/usr/bin/env bash
# Builds Tarnlog and Tarnsync for Windows, lets Tarnsync build the summits database
# VORN_REFS.MDB under Wine from a generated summits list of the real size, and opens
# the editor on the bundled sample log with that database. With a display ($DISPLAY)
# the editor opens there and stays until it is closed; without one it opens on the
# build's virtual display and is closed again after the screenshot. Either way a
# screenshot of it is taken and its path printed. The help file is built beside the
# editor, so F1 opens it. Fresh Debian 12, as root.
# Under pipefail a pipeline fails with any of its programs, so no reader here
# stops before its writer has ended (a writer cut off dies of SIGPIPE).
# TARN_BUILD_DIR names another Windows build folder (default build/windows).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
user_display=${DISPLAY:-}

bash tools/install-deps.sh
# The shipped 32-bit build (under qemu-user where the kernel refuses 32-bit code).
build=${TARN_BUILD_DIR:-build/windows}
case "$build" in /*) ;; *) build=$root/$build ;; esac
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" --target Tarnlog Tarnsync editor_window tarnlog_help

demo=$build/demo
mkdir -p "$demo/data"
echo "Generating a summits list of the real size ..."
# Dated today, so that the editor finds a fresh database.
python3 tools/gen_summits_list.py --rows 180000 --date "$(date -u +%d/%m/%Y)" --out "$demo/summitslist-source.csv"

# Wine sees the host's files through its Z: drive.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
list_url="file:///Z:$demo/summitslist-source.csv"

# The build's private Wine prefix and virtual display, ended again on the way out,
# and the editor with them when the demo ends before it does.
fixture_up=
editor=
stop_fixture() { [ -z "$fixture_up" ] || cmake/wine-fixture.sh stop "$build" >/dev/null; fixture_up=; }
end_demo() {
  if [ -n "$editor" ] && kill -0 "$editor" 2>/dev/null; then
    (source "$build/wine-env.sh" && wineserver -k) >/dev/null 2>&1 || true
  fi
  stop_fixture
}
trap end_demo EXIT
trap 'exit 130' INT TERM
cmake/wine-fixture.sh start "$build" >/dev/null
fixture_up=1
wine_run=$build/wine-run.sh
key='HKCU\Software\Brindlecote\Tarnlog'
"$wine_run" reg add "$key" /v DBLocation /t REG_SZ /d "$(winpath "$demo/data")" /f >/dev/null 2>&1
"$wine_run" reg add "$key" /v CSV_Download_URL /t REG_SZ /d "$list_url" /f >/dev/null 2>&1
# Configured already, with the sample log's own call: the editor opens without its
# first-run configuration.
"$wine_run" reg add "$key" /v FirstRun /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$wine_run" reg add "$key" /v MyCall /t REG_MULTI_SZ /d Q2DEMO /f >/dev/null 2>&1

# Without the progress counter's lines (grep -v would fail when none is left).
"$wine_run" "$build/bin/Tarnsync.exe" /always-update /nopause 2>"$demo/warnings.txt" | tr '\r' '\n' | sed '/^[0-9]* *$/d'
echo "($(wc -l <"$demo/warnings.txt") warnings in $demo/warnings.txt)"
echo
echo "The database $demo/data/VORN_REFS.MDB now holds:"
sqlite3 "$demo/data/VORN_REFS.MDB" 'SELECT COUNT(*) || " summits, list of " || (SELECT LastUpdate FROM Info) FROM "References";' \
  'SELECT SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude FROM "References" LIMIT 3;'
echo

# The editor works on a copy: what it saves goes there, the bundled log stays as it is.
log=$demo/sample-log.csv
cp resources/samples/sample-log.csv "$log"
contacts=$(($(wc -l <"$log") - 1))
error_log=$demo/data/VORN_CSV_Err.log
rm -f "$error_log"
shot=$demo/tarnlog.png
rm -f "$shot"

if [ -n "$user_display" ]; then
  # The user's display: the same prefix, with the user's window manager framing the window.
  stop_fixture
  export DISPLAY=$user_display TARN_KEEP_DISPLAY=1
  "$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1
fi
echo "Starting Tarnlog on the sample log ($contacts contacts) ..."
"$wine_run" "$build/bin/Tarnlog.exe" "$(winpath "$log")" >"$demo/tarnlog-output.txt" 2>&1 &
editor=$!
"$wine_run" "$build/bin/editor_window.exe" wait "$contacts" | tr -d '\r'
# A contact being typed: its summits, from the database, show beside the form.
"$wine_run" "$build/bin/editor_window.exe" summits VAA/AA-018 VAA/AA-014
sleep 1.5   # the status bar's clock comes with its first tick
if [ -n "$user_display" ]; then
  # awk reads the whole list: a user's display holds more windows than a pipe does.
  window=$(xwininfo -root -tree | awk '/"VORN CSV Log Editor"/ && !found { found = $1 } END { print found }')
  import -window "${window:-root}" "$shot"
else
  DISPLAY=$(cat "$build/wine/display") import -window root "$shot"
fi
echo "Screenshot: $shot"
[ ! -s "$error_log" ] || echo "The sample log was loaded with complaints, see $error_log"

if [ -n "$user_display" ]; then
  echo "Tarnlog runs on your display; the demo ends when you close it."
  wait "$editor" || true
  editor=
else
  "$wine_run" "$build/bin/editor_window.exe" close
  wait "$editor" || true
  editor=
  echo "Tarnlog closed again (there is no display to leave it on)."
fi
