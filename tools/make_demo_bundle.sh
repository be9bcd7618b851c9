#!/usr/bin/env bash
# Builds the demo image bundle, build/demo/images.bdl (or OUTDIR/images.bdl),
# and its CREDITS.txt from the photographs of Debian's stellarium-data listed
# in tools/demo_photos.tsv. Installs stellarium-data when it is missing.
# Quick when everything is up to date.
#
# Usage: tools/make_demo_bundle.sh [OUTDIR]
# The bundle tool is $ZVBUNDLE, or the first native zvbundle found in the
# win64 build (host copy) or the native build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/demo}
photos=/usr/share/stellarium/nebulae/default

if ! dpkg-query -W -f='${Status}' stellarium-data 2>/dev/null | grep -q 'install ok installed'; then
  echo "make_demo_bundle: installing stellarium-data"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  # A machine whose package lists were never fetched knows no such package yet.
  $SUDO apt-get install -y -qq --no-install-recommends stellarium-data >/dev/null 2>&1 ||
    { $SUDO apt-get update -qq && $SUDO apt-get install -y -qq --no-install-recommends stellarium-data >/dev/null; }
fi
# The built-in music tracks will need their package installed here as well.

tool=${ZVBUNDLE:-}
if [ -z "$tool" ]; then
  for candidate in "$root/build/win64/host-tools/tools/zvbundle" "$root/build/native/tools/zvbundle"; do
    if [ -x "$candidate" ]; then tool=$candidate; break; fi
  done
fi
if [ -z "$tool" ] || [ ! -x "$tool" ]; then
  echo "make_demo_bundle: no native zvbundle; build the win64 or native preset first (or set ZVBUNDLE)" >&2
  exit 1
fi

mkdir -p "$out"
exec /usr/bin/python3 "$root/tools/make_demo_bundle.py" --zvbundle "$tool" \
  --photos "$root/tools/demo_photos.tsv" --source "$photos" --out "$out"
