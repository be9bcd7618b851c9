#!/usr/bin/env bash
# Builds the static libb64 for the win64 build from Debian's source package
# and installs it into the dependency cache (see scripts/win64_deps.sh):
#   ${ZV_DEPS_DIR:-$HOME/.cache/zelvora-deps}/libb64-<version>-win64/{include/b64,lib}
# Only the C library (encoder and decoder); the example program is left out.
# Idempotent: returns at once when the cache holds this version.
set -euo pipefail
. "$(dirname "$0")/win64_deps.sh"

# Upstream version; CMakeLists.txt's ZV_B64_WIN64_DIR default names the same one.
B64_VERSION=1.2

deps_begin libb64 "$B64_VERSION"
# Some mirrors lack libb64's Debian part. Its encoder, the part the error
# report uses, is the same with or without Debian's patches; its decoder
# needs Debian's fix of a read one past its table, so without the patches
# only the encoder is built.
DEPS_UPSTREAM_FALLBACK=1
deps_fetch_source libb64
modules=(cencode)
[ "$DEPS_PATCHED" = 1 ] && modules+=(cdecode)

STAGE="$PREFIX.staging"
rm -rf "$STAGE"
mkdir -p "$STAGE/include/b64" "$STAGE/lib"
echo "$DEPS_TOOL: building libb64 $DEB_VERSION for win64 (${modules[*]})"
objects=()
for m in "${modules[@]}"; do
  x86_64-w64-mingw32-gcc-posix -O2 -Wall -I"$SRC/include" -c "$SRC/src/$m.c" -o "$WORK/$m.o"
  objects+=("$WORK/$m.o")
  cp "$SRC/include/b64/$m.h" "$STAGE/include/b64/"
done
x86_64-w64-mingw32-ar rcs "$STAGE/lib/libb64.a" "${objects[@]}"
deps_install "$STAGE"
