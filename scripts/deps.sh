#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, when missing.
set -euo pipefail
packages=(
  cmake g++ make pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-private-dev qt6-translations-l10n libgl1-mesa-dev libxkbcommon-x11-0 libxkbcommon-dev
  fonts-dejavu-core
  libjpeg62-turbo-dev libgtest-dev libgmock-dev libbenchmark-dev
  libtiff-dev libgif-dev
  xvfb xauth x11-utils
  openbox
  icewm
  libxcb1-dev
  xdg-utils desktop-file-utils shared-mime-info libglib2.0-bin libfile-mimeinfo-perl
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
