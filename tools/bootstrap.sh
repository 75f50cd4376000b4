#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building, running and testing Velquin.
# Quiet when everything is already there.
set -euo pipefail

packages=(cmake make g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine wine64 xvfb xdotool x11-apps x11-utils x11-xserver-utils imagemagick xcompmgr googletest
          python3 xserver-xorg-core xserver-xorg-video-dummy)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
