#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Does nothing when everything is already there.
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config
      qt6-base-dev qt6-serialport-dev libqt6svg6-dev
      libsqlcipher-dev sqlcipher sqlite3
      libgtest-dev libgmock-dev googletest libbenchmark-dev
      poppler-utils xvfb xauth fonts-liberation fonts-dejavu-core socat ccache
      desktop-file-utils appstream dpkg-dev
      libgl-dev adwaita-icon-theme)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
