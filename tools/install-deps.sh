#!/usr/bin/env bash
# Installs every Debian package Tarnello needs to build, run and test.
# Asks dpkg first and runs apt-get only for what is missing, so that a machine
# that already has everything is not touched (and needs no network).
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev
  ffmpeg
  libavutil-dev libavcodec-dev libavformat-dev libavfilter-dev
  libavdevice-dev libswscale-dev libswresample-dev
  libsdl1.2-dev
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  libpng-dev libjpeg-dev zlib1g-dev
  libcurl4-openssl-dev
  libx11-dev xvfb xauth x11-utils
  xdg-utils
  # The update check's tests serve pages with openssl s_server.
  openssl
  libxext-dev
  # The end-to-end test drives the program under Xvfb.
  xdotool
  # Fuzz targets (tools/fuzz.sh): clang, its libFuzzer and sanitizer
  # run-times, and llvm-symbolizer for readable reports.
  clang libclang-rt-dev llvm
)

missing=()
for p in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  if [[ "$status" != "install ok installed" ]]; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

SUDO=""
if [[ $(id -u) -ne 0 ]]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
