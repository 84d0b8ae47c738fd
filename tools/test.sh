#!/usr/bin/env bash
# Installs what is missing, builds the native preset and the shipped 32-bit Windows
# preset and runs every test, natively and under 32-bit Wine (through qemu-user
# where the kernel refuses 32-bit code; tools/install-deps.sh sets that up), then
# the run command (tools/demo.sh) as it runs on a user's display.
# The 64-bit Windows build is compiled as a check only: a pointer kept in a 32-bit
# integer warns there, and warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
jobs=$(nproc)
status=0
for preset in native windows windows64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
for preset in native windows; do
  ctest --preset "$preset" -j "$jobs" || status=1
done
# The run command on a display of its own, given to it as the user's.
bash tools/demo-check.sh || status=1
exit $status
