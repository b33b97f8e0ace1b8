#!/usr/bin/env bash
# Installs the Debian packages that building, testing and playing need. Skips apt
# entirely when everything is there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-dev clang-format clang-tidy
  googletest libgtest-dev
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libegl-mesa0
  xvfb xauth xfonts-base xdotool x11-apps x11-utils imagemagick python3 ffmpeg
  pkg-config libavcodec-dev libavutil-dev libswscale-dev libheif-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
