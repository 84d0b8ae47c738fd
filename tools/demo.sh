#!/usr/bin/env bash
# Builds Tarnsync for Windows and runs it under Wine against a generated summits list,
# so the summits database VORN_REFS.MDB is built for real. Fresh Debian 12, as root.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash tools/install-deps.sh
# The shipped 32-bit build (under qemu-user where the kernel refuses 32-bit code).
preset=windows
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Tarnsync

build=$root/build/$preset
demo=$build/demo
mkdir -p "$demo/data"
echo "Generating a summits list of the real size ..."
python3 tools/gen_summits_list.py --rows 180000 --date 18/03/2025 --out "$demo/summitslist-source.csv"

# Wine sees the host's files through its Z: drive.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
list_url="file:///Z:$demo/summitslist-source.csv"

# The build's private Wine prefix and virtual display, ended again on the way out.
cmake/wine-fixture.sh start "$build" >/dev/null
trap 'cmake/wine-fixture.sh stop "$build" >/dev/null' EXIT
wine_run=$build/wine-run.sh
key='HKCU\Software\Brindlecote\Tarnlog'
"$wine_run" reg add "$key" /v DBLocation /t REG_SZ /d "$(winpath "$demo/data")" /f >/dev/null 2>&1
"$wine_run" reg add "$key" /v CSV_Download_URL /t REG_SZ /d "$list_url" /f >/dev/null 2>&1

"$wine_run" "$build/bin/Tarnsync.exe" /always-update /nopause 2>"$demo/warnings.txt" | tr '\r' '\n' | grep -v '^[0-9]* *$'
echo "($(wc -l <"$demo/warnings.txt") warnings in $demo/warnings.txt)"
echo
echo "The database $demo/data/VORN_REFS.MDB now holds:"
sqlite3 "$demo/data/VORN_REFS.MDB" 'SELECT COUNT(*) || " summits, list of " || (SELECT LastUpdate FROM Info) FROM "References";' \
  'SELECT SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude FROM "References" LIMIT 3;'
