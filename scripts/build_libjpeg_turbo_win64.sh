#!/usr/bin/env bash
# Builds the static libjpeg (libjpeg-turbo, with its SIMD code) for the win64
# build from Debian's source package and installs it into the dependency
# cache (see scripts/win64_deps.sh):
#   ${ZV_DEPS_DIR:-$HOME/.cache/zelvora-deps}/libjpeg-turbo-<version>-win64/{include,lib}
# Only the libjpeg API; the TurboJPEG wrapper and the programs are left out.
# Idempotent: returns at once when the cache holds this version.
set -euo pipefail
. "$(dirname "$0")/win64_deps.sh"

# Upstream version; CMakeLists.txt's ZV_JPEG_WIN64_DIR default names the same one.
JPEG_VERSION=2.1.5

deps_begin libjpeg-turbo "$JPEG_VERSION"
for tool in cmake nasm; do
  command -v "$tool" >/dev/null || deps_fail "$tool is missing (run scripts/setup.sh)"
done
deps_fetch_source libjpeg-turbo

# Without an explicit install prefix the configuration fails on a Windows
# default path ("c:/libjpeg-turbo64").
cat >"$WORK/toolchain.cmake" <<TOOLCHAIN
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
TOOLCHAIN

STAGE="$PREFIX.staging"
rm -rf "$STAGE"
BUILD="$WORK/build"
echo "$DEPS_TOOL: building libjpeg-turbo $DEB_VERSION for win64 (about 20 s)"
cmake -S "$SRC" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$WORK/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$STAGE" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON \
  -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm \
  >"$WORK/configure.log" 2>&1 || { tail -n 30 "$WORK/configure.log" >&2; exit 1; }
cmake --build "$BUILD" --target jpeg-static -j2 >"$WORK/make.log" 2>&1 ||
  { tail -n 30 "$WORK/make.log" >&2; exit 1; }

mkdir -p "$STAGE/include" "$STAGE/lib"
cp "$BUILD/libjpeg.a" "$STAGE/lib/"
cp "$BUILD/jconfig.h" "$SRC/jerror.h" "$SRC/jmorecfg.h" "$SRC/jpeglib.h" "$STAGE/include/"
deps_install "$STAGE"
