#!/usr/bin/env bash
# The main job: builds the programs and the release folder dist/, and runs the saver under Wine on an Xvfb
# display, in a prefix of its own, then shows what it logged and saw.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset win64 >/dev/null
# The programs, the demo bundle and the release folder dist/ with its installer.
cmake --build --preset win64 -j "${ZV_JOBS:-2}"
# The saver, installed by the release's own installer in a fresh prefix.
ZV_BUILD_DIR="$PWD/build/win64" /usr/bin/python3 scripts/run_saver.py "$@"
