#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
# Idempotent: quiet when everything is present; runs apt-get update only when
# something is missing.
set -euo pipefail

PACKAGES=(
  build-essential dpkg-dev file cmake ninja-build pkg-config ccache git bc time
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libqt6openglwidgets6 libgl-dev qt6-multimedia-dev qt6-pdf-dev
  qt6-translations-l10n
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev libswresample-dev ffmpeg
  libarchive-dev libarchive-tools unrar-free zlib1g-dev libgif-dev
  libopencc-dev opencc
  libblkid-dev dosfstools mtools
  libx11-dev libxcb1-dev
  fonts-noto-cjk fonts-dejavu-core
  xvfb xauth xdotool imagemagick x11-utils libgl1-mesa-dri
  librsvg2-bin desktop-file-utils bash-completion
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  ola libzstd-dev zstd python3
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
