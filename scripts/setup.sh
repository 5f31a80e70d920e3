#!/usr/bin/env bash
# Installs what building, running and testing Kelpwise needs on Debian 12:
# the MinGW-w64 cross compilers for 32-bit and 64-bit Windows, Wine for both,
# Xvfb, the screenshot tools, clang for the fuzz targets, chmcmd for the help
# file, NSIS for the installers and Python's jsonschema for the check of the
# JSON reports.
# Quick when everything is already there.
set -euo pipefail

packages=(cmake make g++ clang googletest libgtest-dev
          g++-mingw-w64-i686-posix binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 xvfb xdotool imagemagick x11-utils
          fp-utils-3.2.2 nsis python3-jsonschema)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
