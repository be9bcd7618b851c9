#!/usr/bin/env bash
# Builds the static libmpg123 for the win64 build from Debian's source package
# and installs it into the dependency cache (see scripts/win64_deps.sh):
#   ${ZV_DEPS_DIR:-$HOME/.cache/zelvora-deps}/mpg123-<version>-win64/{include,lib}
# Idempotent: returns at once when the cache holds this version.
set -euo pipefail
. "$(dirname "$0")/win64_deps.sh"

# Upstream version; CMakeLists.txt's ZV_MPG123_WIN64_DIR default names the
# same one. Bookworm keeps it and ships fixes as Debian revisions.
MPG123_VERSION=1.31.2

deps_begin mpg123 "$MPG123_VERSION"
deps_fetch_source mpg123
grep -q 'CVE-2024-10573' "$SRC/.pc/applied-patches" 2>/dev/null ||
  deps_fail "Debian's CVE-2024-10573 fix was not applied"

BUILD="$WORK/build"
mkdir -p "$BUILD"
echo "$DEPS_TOOL: building mpg123 $DEB_VERSION for win64 (about 90 s)"
(
  cd "$BUILD"
  "$SRC/configure" --host=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix \
    --enable-static --disable-shared --with-cpu=x86-64 --disable-modules \
    --enable-network=no --enable-ipv6=no --with-audio=dummy --with-default-audio=dummy \
    >configure.log 2>&1 || { tail -n 30 configure.log >&2; exit 1; }
  make -j2 src/libmpg123/libmpg123.la >make.log 2>&1 || { tail -n 30 make.log >&2; exit 1; }
)

STAGE="$PREFIX.staging"
rm -rf "$STAGE"
mkdir -p "$STAGE/include" "$STAGE/lib"
cp "$BUILD/src/libmpg123/.libs/libmpg123.a" "$STAGE/lib/"
for h in mpg123.h fmt123.h; do
  if [ -f "$BUILD/src/libmpg123/$h" ]; then
    cp "$BUILD/src/libmpg123/$h" "$STAGE/include/"
  else
    cp "$SRC/src/libmpg123/$h" "$STAGE/include/"
  fi
done
deps_install "$STAGE"
