#!/usr/bin/env bash
# Makes the release folder dist/ from a finished win64 build and demo
# bundle: the screen saver (also as ZelvoraPelk.exe, which opens the
# settings), the error reporter, images.bdl, the help file compiled from
# ui/help, chk.sum written from these very files, the licence and credit
# texts, and the Windows installer ZelvoraSetup.exe holding all of them.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ZV_BUILD_DIR:-$PWD/build/win64}
demo=${ZV_DEMO_DIR:-$PWD/build/demo}
dist=${ZV_DIST_DIR:-$PWD/dist}

for f in "$build/ZelvoraPelk.scr" "$build/Brevatch.exe" "$build/host-tools/tools/zvchksum" "$demo/images.bdl"; do
  [ -f "$f" ] || { echo "package: $f is missing (build first: scripts/run.sh)" >&2; exit 1; }
done

rm -rf "$dist"
mkdir -p "$dist"
cp "$build/ZelvoraPelk.scr" "$build/Brevatch.exe" "$demo/images.bdl" "$dist/"
cp "$dist/ZelvoraPelk.scr" "$dist/ZelvoraPelk.exe"

# The help file, context 1 being the settings page the dialog opens.
help_work=$(mktemp -d)
trap 'rm -rf "$help_work"' EXIT
cp ui/help/* "$help_work/"
if ! out=$(cd "$help_work" && chmcmd Orbex.hhp 2>&1) || [ ! -f "$help_work/Orbex.CHM" ]; then
  echo "$out" >&2
  echo "package: the help file did not compile" >&2
  exit 1
fi
cp "$help_work/Orbex.CHM" "$dist/"

# The copy installed in the Windows folder is this same file (slot 4).
"$build/host-tools/tools/zvchksum" "$dist/chk.sum" "$dist/images.bdl" "$dist/ZelvoraPelk.scr" \
  "$dist/ZelvoraPelk.scr" "$dist/ZelvoraPelk.exe"

{
  cat docs/THIRD-PARTY.txt
  echo
  echo "--------------------------------------------------------------------------"
  echo
  cat "$demo/CREDITS.txt"
} >"$dist/LICENSES.txt"

version=$(sed -n 's/^const char kVersionNumber\[\] = "\(.*\)";$/\1/p' foundation/product.cpp)
[ -n "$version" ] || { echo "package: no version number in foundation/product.cpp" >&2; exit 1; }
if ! out=$(makensis -V2 -DDIST="$dist" -DVERSION="$version" -DOUTFILE="$dist/ZelvoraSetup.exe" \
             installer/Zelvora.nsi 2>&1); then
  echo "$out" >&2
  echo "package: the installer did not compile" >&2
  exit 1
fi
echo "package: $(ls "$dist" | tr '\n' ' ')in $dist"
