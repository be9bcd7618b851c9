#!/usr/bin/env bash
# Builds the demo image bundle, build/demo/images.bdl (or OUTDIR/images.bdl),
# and its CREDITS.txt from the photographs of Debian's stellarium-data listed
# in tools/demo_photos.tsv, with music from enigma-data (both installed by
# scripts/setup.sh). Quick when everything is up to date.
#
# Usage: tools/make_demo_bundle.sh [OUTDIR [--depfile FILE]]
# (the build passes --depfile to learn which files the bundle depends on).
# The bundle tool is $ZVBUNDLE, or the first native zvbundle found in the
# win64 build (host copy) or the native build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/demo}
[ $# -eq 0 ] || shift
photos=/usr/share/stellarium/nebulae/default

# The photographs and the built-in music come from Debian packages, which
# scripts/setup.sh installs: the build and the tests fetch nothing themselves.
missing=()
for package in stellarium-data enigma-data; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "make_demo_bundle: ${missing[*]} not installed; run scripts/setup.sh" >&2
  exit 1
fi

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
  --photos "$root/tools/demo_photos.tsv" --source "$photos" --out "$out" "$@"
