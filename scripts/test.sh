#!/usr/bin/env bash
# Every test: installs what is missing, then configures, builds and tests the
# native build (unit tests under sanitizers), the fuzz targets (short runs)
# and the win64 build (Windows tests and end-to-end tests under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=${ZV_JOBS:-2}
status=0
for preset in native fuzz win64; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  # win64 also makes the demo bundle and the release folder the tests install.
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== $preset: tests"
  ctest --preset "$preset" -j "$jobs" || status=1
done
exit $status
