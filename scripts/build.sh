#!/usr/bin/env bash
# Builds one of the two trees:
#   build.sh native   window-free code and unit tests (build/native, Debug, sanitizers)
#   build.sh windows  Kelpwise.exe, the program folder and the Wine test programs
#                     (build/win, MinGW-w64 i686, Release)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

case "${1:-}" in
  native)
    cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$root/build/native" -j2
    ;;
  windows)
    cmake -S "$root" -B "$root/build/win" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
    cmake --build "$root/build/win" -j2
    ;;
  *)
    echo "usage: $0 native|windows" >&2
    exit 2
    ;;
esac
