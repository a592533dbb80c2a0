#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Velmora need.
# Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git clang-format
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-l10n-tools libqt6svg6
  libgl-dev libxkbcommon-dev
  libicu-dev
  googletest libgtest-dev libgmock-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly gstreamer1.0-tools
  gstreamer1.0-alsa gstreamer1.0-pulseaudio
  libcdio-dev libcdio-utils
  libdiscid-dev libtag1-dev
  libmecab-dev unidic-mecab mecab-ipadic-utf8
  fonts-noto-cjk fonts-ipafont-gothic
  xvfb xauth x11-apps x11-utils imagemagick openbox xdotool wmctrl
  clang desktop-file-utils appstream python3
  time
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
