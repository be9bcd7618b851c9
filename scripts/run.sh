#!/usr/bin/env bash
# The main job: builds the programs and the release folder dist/, and runs the saver under Wine on an Xvfb
# display, in a prefix of its own, then shows what it logged and saw.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "${ZV_JOBS:-2}"
# The demo photographs, packed with the build's own native zvbundle.
ZVBUNDLE="$PWD/build/win64/host-tools/tools/zvbundle" bash tools/make_demo_bundle.sh "$PWD/build/demo"
# The release folder dist/: the programs, the bundle, the help file and chk.sum.
bash scripts/package.sh
# The saver, installed by the release's own installer in a fresh prefix.
ZV_BUILD_DIR="$PWD/build/win64" /usr/bin/python3 scripts/run_saver.py "$@"
