#!/usr/bin/env bash
# Installs the Debian packages Tinyra needs to build, test and run, when any is missing.
set -euo pipefail
PACKAGES=(g++ cmake ninja-build make qt6-base-dev libqt6opengl6-dev qt6-svg-dev
          libqt6sql6-sqlite libsqlite3-dev libzip-dev libexif-dev pkg-config fonts-dejavu-core fonts-liberation2 poppler-utils
          xvfb xauth clang-format syncthing chromium libxml2-utils)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
elif command -v sudo >/dev/null 2>&1; then
  SUDO="sudo"
else
  echo "Tinyra needs these Debian packages; please install them as root:" >&2
  echo "  apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
