#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the lab need.
# Safe to run any number of times: it only installs what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-svg-dev libgl-dev
  qt6-qpa-plugins
  fonts-liberation fontconfig
  libbenchmark-dev
  clang libclang-rt-14-dev valgrind
  xvfb xauth x11-utils xdotool xclip openbox wmctrl
  dbus dbus-x11 at-spi2-core python3-pyatspi gir1.2-atspi-2.0 python3-gi python3-pil
  imagemagick libwmf-bin poppler-utils libreoffice-calc-nogui libtomlplusplus-dev
  appstream desktop-file-utils dpkg-dev file
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  sudo=sudo
else
  sudo=
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
