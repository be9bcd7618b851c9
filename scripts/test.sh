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
  cmake --build --preset "$preset" -j "$jobs"
  if [ "$preset" = win64 ]; then
    # The end-to-end runs show the demo photographs.
    ZVBUNDLE="$PWD/build/win64/host-tools/tools/zvbundle" bash tools/make_demo_bundle.sh "$PWD/build/demo"
    # The release folder, which the release tests install.
    bash scripts/package.sh
  fi
  echo "=== $preset: tests"
  ctest --preset "$preset" -j "$jobs" || status=1
done
exit $status
