#!/usr/bin/env bash
# Builds the native tree or the Windows trees:
#   build.sh native   window-free code and unit tests (build/native, Debug, sanitizers)
#   build.sh win32    Kelpwise.exe, its program folder, the Wine test programs
#                     and the setup program Kelpwise-setup-32.exe for 32-bit
#                     Windows (build/win, MinGW-w64 i686, Release)
#   build.sh win64    the same for 64-bit Windows (build/win64, MinGW-w64 x86-64,
#                     Kelpwise-setup-64.exe)
#   build.sh windows  both Windows trees, and the winget manifests of their
#                     setup programs (build/winget, scripts/winget.py)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# cross_build DIR ARCH: one Windows tree for MinGW-w64's ARCH.
cross_build() {
  cmake -S "$root" -B "$root/$1" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw.cmake" -DKW_MINGW_ARCH="$2" >/dev/null
  cmake --build "$root/$1" -j2
  # The setup program packs the program folder, so it comes once that is complete.
  cmake --build "$root/$1" --target installer
}

case "${1:-}" in
  native)
    cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$root/build/native" -j2
    ;;
  win32) cross_build build/win i686 ;;
  win64) cross_build build/win64 x86_64 ;;
  windows)
    cross_build build/win i686
    cross_build build/win64 x86_64
    python3 scripts/winget.py write "$(cat VERSION)" build/win/Kelpwise-setup-32.exe \
      build/win64/Kelpwise-setup-64.exe build/winget
    ;;
  *)
    echo "usage: $0 native|win32|win64|windows" >&2
    exit 2
    ;;
esac
