#!/usr/bin/env bash
# Runs one of the window benchmarks under Wine: builds it in the shipped 32-bit
# Windows preset, starts that build's Wine prefix and virtual display, runs it
# there and ends them again.
#   bench-win.sh loglist [size ...]                          the log list's rebuild
#                                                            (default 1000 10000 50000)
#   bench-win.sh logcontact [-rRUNS] [-sSUMMITS] [size ...]  logging one contact: validation
#                                                            with both summits looked up, insert,
#                                                            the list's rebuild (default 1000 10000)
# TARN_BENCH_BUILD names another, already configured Windows build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
  loglist | logcontact) target=${1}_bench ;;
  *) echo "usage: $0 loglist|logcontact [arguments]" >&2; exit 2 ;;
esac
shift

preset=windows
build=${TARN_BENCH_BUILD:-build/$preset}
if [ "$build" = "build/$preset" ]; then
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target "$target"
else
  cmake --build "$build" --target "$target"
fi

cmake/wine-fixture.sh start "$build"
trap 'cmake/wine-fixture.sh stop "$build"' EXIT
trap 'exit 130' INT TERM
"$build/wine-run.sh" "$build/bin/$target.exe" "$@"
