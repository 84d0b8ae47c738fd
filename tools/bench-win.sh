#!/usr/bin/env bash
# Runs one of the window benchmarks under Wine: builds it in the shipped 32-bit
# Windows preset, starts that build's Wine prefix and virtual display, runs it
# there and ends them again.
#   bench-win.sh loglist [size ...]                          the log list's rebuild
#                                                            (default 1000 10000 50000)
#   bench-win.sh logcontact [-rRUNS] [-sSUMMITS] [size ...]  logging one contact: validation
#                                                            with both summits looked up, insert,
#                                                            the list's rebuild (default 1000 10000)
#   bench-win.sh lookups [rounds]                            summit lookups: single, the table's
#                                                            read, from the table; where the read pays
#   bench-win.sh startup [-rRUNS] [contacts]                 the real Tarnlog.exe started on a log
#                                                            (default 10000 contacts, 5 runs) to its
#                                                            window idle with the list filled;
#                                                            reference checking on, against a summits
#                                                            database of the real size
# TARN_BUILD_DIR (or TARN_BENCH_BUILD) names another Windows build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
mode=${1:-}
case "$mode" in
  loglist | logcontact | startup) target=${mode}_bench ;;
  lookups) target=lookup_bench ;;
  *) echo "usage: $0 loglist|logcontact|lookups|startup [arguments]" >&2; exit 2 ;;
esac
shift
targets=("$target")
[ "$mode" != startup ] || targets+=(Tarnlog Tarnsync)

preset=windows
build=${TARN_BUILD_DIR:-${TARN_BENCH_BUILD:-build/$preset}}
if [ "$build" = "build/$preset" ]; then
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target "${targets[@]}"
else
  cmake --build "$build" --target "${targets[@]}"
fi
case "$build" in /*) ;; *) build=$root/$build ;; esac

cmake/wine-fixture.sh start "$build"
trap 'cmake/wine-fixture.sh stop "$build"' EXIT
trap 'exit 130' INT TERM
wine_run=$build/wine-run.sh
if [ "$mode" != startup ]; then
  "$wine_run" "$build/bin/$target.exe" "$@"
  exit
fi

runs=-r5
contacts=10000
for argument in "$@"; do
  case "$argument" in
    -r*) runs=$argument ;;
    *) contacts=$argument ;;
  esac
done
winpath() { printf 'Z:%s' "${1//\//\\}"; }
bench=$build/bench-startup
database=$bench/data/VORN_REFS.MDB
key='HKCU\Software\Brindlecote\Tarnlog'
mkdir -p "$bench/data"
# The database is built once by Tarnsync from a generated list of the real size,
# then kept in the build folder.
if [ ! -s "$database" ]; then
  echo "Building the summits database (once for this build folder) ..."
  python3 tools/gen_summits_list.py --rows 180000 --date "$(date -u +%d/%m/%Y)" --out "$bench/summitslist-source.csv"
  "$wine_run" reg add "$key" /v CSV_Download_URL /t REG_SZ /d "file:///Z:$bench/summitslist-source.csv" /f >/dev/null 2>&1
  "$wine_run" reg add "$key" /v DBLocation /t REG_SZ /d "$(winpath "$bench/data")" /f >/dev/null 2>&1
  "$wine_run" "$build/bin/Tarnsync.exe" /always-update /nopause >"$bench/tarnsync.txt" 2>&1 ||
    { rm -f "$database"; cat "$bench/tarnsync.txt"; exit 1; }
  rm -f "$bench/summitslist-source.csv" "$bench/data/summitslist.csv"
fi
# Summits valid for every contact of the log (2015 onward).
sqlite3 "$database" "SELECT SummitRef FROM \"References\" WHERE ValidFrom BETWEEN '2002-01-01' AND '2014-12-31'
                     AND ValidTo >= '2030-01-01' ORDER BY SummitRef LIMIT 2000;" >"$bench/summits.txt"

"$wine_run" reg add "$key" /v DBLocation /t REG_SZ /d "$(winpath "$bench/data")" /f >/dev/null 2>&1
"$wine_run" reg add "$key" /v FirstRun /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$wine_run" reg add "$key" /v RefChecking /t REG_DWORD /d 1 /f >/dev/null 2>&1
# The kept database grows old: its age question would stand in the window's way.
"$wine_run" reg add "$key" /v DBAgeWarnPeriod /t REG_DWORD /d 2147483647 /f >/dev/null 2>&1
rm -f "$bench/data/VORN_CSV_Err.log"
echo "$(sqlite3 "$database" 'SELECT COUNT(*) FROM "References";') summits in the database"
"$wine_run" "$build/bin/startup_bench.exe" "$runs" "$(winpath "$build/bin/Tarnlog.exe")" "$(winpath "$bench/summits.txt")" \
  "$contacts" "$(winpath "$bench/startup-log.csv")" | tr -d '\r'
if [ -s "$bench/data/VORN_CSV_Err.log" ]; then
  echo "The editor complained about the log: $bench/data/VORN_CSV_Err.log" >&2
  exit 1
fi
