#!/usr/bin/env bash
# Installs every Debian package the project builds, runs and tests with.
# Idempotent: quiet and quick when everything is already present.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ clang
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  libgtest-dev googletest libbenchmark-dev libstb-dev libjpeg-turbo-progs
  wine64 libgl1-mesa-dri libglx-mesa0 xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick fonts-liberation
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
