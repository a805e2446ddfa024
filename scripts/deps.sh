#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, when missing.
set -euo pipefail
packages=(
  cmake g++ make pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-private-dev qt6-translations-l10n libgl1-mesa-dev libxkbcommon-x11-0 libxkbcommon-dev
  fonts-dejavu-core
  libjpeg62-turbo-dev libgtest-dev libgmock-dev
  libtiff-dev libgif-dev
  xvfb xauth x11-utils
  openbox
  icewm
  libxcb1-dev
  xdg-utils desktop-file-utils shared-mime-info libglib2.0-bin libfile-mimeinfo-perl
  exo-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    SUDO=()
  elif command -v sudo > /dev/null 2>&1 && sudo -n true 2> /dev/null; then
    SUDO=(sudo)
  else
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Installing them needs root or sudo without a password prompt; install them with" >&2
    echo "  apt-get install --no-install-recommends ${missing[*]}" >&2
    echo "as root, then run this again." >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  # sudo clears the environment, so the variable is passed on the command line.
  "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
