#!/usr/bin/env bash
# Builds the static libexif for the win64 build from Debian's source package
# and installs it into the dependency cache (see scripts/win64_deps.sh):
#   ${ZV_DEPS_DIR:-$HOME/.cache/zelvora-deps}/libexif-<version>-win64/{include/libexif,lib}
# Only the library; no translations (the imaging layer shows no EXIF text).
# Idempotent: returns at once when the cache holds this version.
set -euo pipefail
. "$(dirname "$0")/win64_deps.sh"

# Upstream version; CMakeLists.txt's ZV_EXIF_WIN64_DIR default names the same one.
EXIF_VERSION=0.6.24

deps_begin libexif "$EXIF_VERSION"
for tool in autoreconf automake libtoolize autopoint; do
  command -v "$tool" >/dev/null || deps_fail "$tool is missing (run scripts/setup.sh)"
done
deps_fetch_source libexif

echo "$DEPS_TOOL: building libexif $DEB_VERSION for win64 (about 40 s)"
(
  cd "$SRC"
  # The source package ships no configure script.
  autoreconf -fi >"$WORK/autoreconf.log" 2>&1 || { tail -n 30 "$WORK/autoreconf.log" >&2; exit 1; }
  ./configure --host=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix \
    --enable-static --disable-shared --disable-nls --disable-docs \
    >"$WORK/configure.log" 2>&1 || { tail -n 30 "$WORK/configure.log" >&2; exit 1; }
  make -C libexif -j2 >"$WORK/make.log" 2>&1 || { tail -n 30 "$WORK/make.log" >&2; exit 1; }
)

STAGE="$PREFIX.staging"
rm -rf "$STAGE"
mkdir -p "$STAGE/include/libexif" "$STAGE/lib"
cp "$SRC/libexif/.libs/libexif.a" "$STAGE/lib/"
# The public headers, as libexif installs them (its internal ones stay out).
cp "$SRC"/libexif/exif-*.h "$SRC/libexif/_stdint.h" "$STAGE/include/libexif/"
rm -f "$STAGE"/include/libexif/{exif-system.h,exif-mnote-data-priv.h,exif-gps-ifd.h}
deps_install "$STAGE"
