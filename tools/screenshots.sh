#!/usr/bin/env bash
# Builds the GUI tests of the shipped 32-bit Windows build, runs them under Wine with screenshots
# switched on and converts every shot to PNG; prints the PNG paths. Needs what
# tools/install-deps.sh installs. Exit status: that of the test run.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=windows
build=$(pwd)/build/$preset
shots=$build/shots

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target gui_tests

rm -rf "$shots"
mkdir -p "$shots"
status=0
# CTest hands its environment to the test, and wine-run.sh hands it to Wine.
TARN_SHOTS_DIR="$shots" ctest --test-dir "$build" -R '^gui_tests$' --output-on-failure || status=$?

found=0
for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png"
  echo "${bmp%.bmp}.png"
  found=1
done
[ "$found" = 1 ] || echo "no screenshots were written to $shots" >&2
exit $status
