#!/usr/bin/env bash
# Installs every Debian package the project builds, runs and tests with, then
# builds the win64 libmpg123, libb64, libjpeg-turbo and libexif into the
# dependency cache.
# Idempotent: quiet and quick when everything is already present.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ clang
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  libgtest-dev googletest libbenchmark-dev libstb-dev libjpeg-turbo-progs
  wine64 libgl1-mesa-dri libglx-mesa0 xvfb xauth xdotool x11-utils x11-xserver-utils x11-apps imagemagick fonts-liberation librsvg2-bin
  libmpg123-dev libb64-dev libjpeg62-turbo-dev libexif-dev dpkg-dev
  # Building the win64 libjpeg-turbo (its SIMD code) and libexif (no configure script shipped).
  nasm autoconf automake libtool autopoint gettext
  pulseaudio pulseaudio-utils sox vorbis-tools lame twolame
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly gstreamer1.0-libav
  python3 python3-numpy
  # The demo bundle's photographs and built-in music (tools/make_demo_bundle.sh).
  stellarium-data enigma-data
  fp-utils nsis
  # tests/bench/peer_bench.py: the peer slideshow glslideshow and the DAMAGE frame counter.
  xscreensaver-gl xscreensaver-data libxdamage-dev libxfixes-dev libx11-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The win64 build's libraries, built once from Debian's source into the cache.
bash "$(dirname "$0")/build_mpg123_win64.sh"
bash "$(dirname "$0")/build_libb64_win64.sh"
bash "$(dirname "$0")/build_libjpeg_turbo_win64.sh"
bash "$(dirname "$0")/build_libexif_win64.sh"
