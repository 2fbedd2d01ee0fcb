#!/usr/bin/env bash
# Installs the Debian packages needed to build, run, test and package the program
# (help2man makes the manual page; dpkg-dev and file let CPack compute the package's
# dependencies; desktop-file-utils checks the menu entry).
# Does nothing when everything is already there.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libpugixml-dev zlib1g-dev
  # the export's .xlsx
  libxlsxwriter-dev
  # the import benchmark's floor only: the program reads .xls by itself
  libfreexl-dev
  srecord clang-format clang libclang-rt-14-dev
  help2man dpkg-dev file desktop-file-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
