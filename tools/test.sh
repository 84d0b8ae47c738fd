#!/usr/bin/env bash
# Installs what is missing, builds the native and Windows presets and runs every
# test, natively and under Wine. The shipped 32-bit programs are always built;
# where this host cannot run 32-bit code, the Windows tests run on the same tree
# built for 64-bit Windows under 64-bit Wine (tools/wine-preset.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
jobs=$(nproc)
wine_preset=$(bash tools/wine-preset.sh)
status=0
for preset in native windows $([ "$wine_preset" = windows ] || echo "$wine_preset"); do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
for preset in native "$wine_preset"; do
  ctest --preset "$preset" -j "$jobs" || status=1
done
exit $status
