#!/usr/bin/env bash
# Times logging one contact under Wine (validation with both summits
# looked up, the insert, the list's rebuild): builds the benchmark of the shipped
# 32-bit Windows preset, starts that build's Wine prefix
# and virtual display, runs it there and ends them again. Arguments go to the benchmark (log sizes; default 1000 10000; -rRUNS, -sSUMMITS).
# TARN_BENCH_BUILD names another, already configured Windows build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=windows
build=${TARN_BENCH_BUILD:-build/$preset}
if [ "$build" = "build/$preset" ]; then
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target logcontact_bench
else
  cmake --build "$build" --target logcontact_bench
fi

cmake/wine-fixture.sh start "$build"
trap 'cmake/wine-fixture.sh stop "$build"' EXIT
trap 'exit 130' INT TERM
"$build/wine-run.sh" "$build/bin/logcontact_bench.exe" "$@"
