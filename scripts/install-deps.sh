#!/usr/bin/env bash
# Installs the Debian packages that building, testing and compiling the game's
# content need. Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
  # runtime libraries
  libsdl2-dev zlib1g-dev libmpg123-dev libfluidsynth-dev fluid-soundfont-gm
  libgl-dev libglu1-mesa-dev libstb-dev
  # content build: fonts, vector art, manifests, music and sound rendering
  libfreetype-dev fonts-dejavu-core librsvg2-dev libtoml11-dev nlohmann-json3-dev
  libpng-dev lame abcmidi
  # tests, fuzzing and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev libspng-dev libcairo2-dev
  xvfb xauth xdotool x11-utils pngcheck
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
