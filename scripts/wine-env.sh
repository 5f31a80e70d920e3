# Sourced by the scripts that run Kelpwise or its test programs under Wine.
# Decides once which Windows build and which kind of Wine prefix this machine
# can run, and gives helpers for a private prefix and a private X display.
#
# Kelpwise is built twice: for 32-bit Windows (build/win, the build users
# get) and for 64-bit Windows (build/win64). The 32-bit build needs Wine's
# 32-bit loader, which fails with "Exec format error" on kernels without
# 32-bit emulation; the 64-bit build runs in a 64-bit prefix everywhere.
# KW_WINE_ARCH=win32 or KW_WINE_ARCH=win64 forces one kind.
#
#   kw_choose_kinds all|one  sets KW_KINDS: every kind this machine runs
#                            (for tests) or the one to use (run, screenshots,
#                            bench), and says which and why in one line
#   kw_use_kind KIND         makes KIND (win32 or win64) the kind of this shell
#   kw_wine ARGS...          Wine's loader of that kind (wine, regedit, reg...)
#   kw_make_prefix DIR       DIR as the prefix of this shell, created if new
#   kw_stop_prefix           ends every process of that prefix
#   kw_start_xvfb, kw_stop_xvfb

export WINEDEBUG=-all
# No menu entries on this machine's desktop for the shortcuts that setup
# programs create in a prefix (winemenubuilder).
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Wine's two loaders as Debian installs them. Debian's `wine` wrapper always
# picks the 32-bit one when wine32 is installed, so the 64-bit one is called
# by its path.
KW_WINE32_LOADER=${KW_WINE32_LOADER:-/usr/lib/wine/wine}
KW_WINE64_LOADER=${KW_WINE64_LOADER:-/usr/lib/wine/wine64}

# kw_why_no_32bit: prints why this machine cannot run 32-bit Windows
# programs, or nothing when it can.
kw_why_no_32bit() {
  if [ ! -x "$KW_WINE32_LOADER" ]; then
    echo "Wine's 32-bit loader $KW_WINE32_LOADER is not installed"
    return
  fi
  local output rc=0
  output=$("$KW_WINE32_LOADER" --version 2>&1) || rc=$?
  [ "$rc" -eq 0 ] && return
  if [ "$rc" -eq 126 ] || grep -q 'Exec format error' <<<"$output"; then
    echo "kernel without 32-bit emulation: Wine's 32-bit loader fails with Exec format error"
  else
    echo "Wine's 32-bit loader fails (exit code $rc: ${output//$'\n'/ })"
  fi
}

kw_describe_kind() {
  case "$1" in
    win32) echo "the 32-bit build in a 32-bit prefix" ;;
    win64) echo "the 64-bit build in a 64-bit prefix" ;;
  esac
}

# kw_choose_kinds all|one: sets the array KW_KINDS and prints the choice.
# Returns 1, with the reason, when KW_WINE_ARCH forces a kind this machine
# cannot run.
kw_choose_kinds() {
  local mode=$1 why
  why=$(kw_why_no_32bit)
  KW_32BIT_PROBLEM=$why
  case "${KW_WINE_ARCH:-}" in
    win32)
      if [ -n "$why" ]; then
        echo "wine: KW_WINE_ARCH=win32 asks for the 32-bit build, but this machine cannot run 32-bit programs ($why)" >&2
        return 1
      fi
      KW_KINDS=(win32)
      echo "wine: KW_WINE_ARCH=win32: using $(kw_describe_kind win32)"
      ;;
    win64)
      KW_KINDS=(win64)
      echo "wine: KW_WINE_ARCH=win64: using $(kw_describe_kind win64)"
      ;;
    "" | auto)
      if [ -n "$why" ]; then
        KW_KINDS=(win64)
        echo "wine: this machine cannot run 32-bit programs ($why); using $(kw_describe_kind win64)"
      elif [ "$mode" = all ]; then
        KW_KINDS=(win32 win64)
        echo "wine: this machine runs 32-bit and 64-bit programs; using $(kw_describe_kind win32) and $(kw_describe_kind win64)"
      else
        KW_KINDS=(win32)
        echo "wine: this machine runs 32-bit programs; using $(kw_describe_kind win32), the build users get"
      fi
      ;;
    *)
      echo "wine: KW_WINE_ARCH must be win32, win64 or auto, not '$KW_WINE_ARCH'" >&2
      return 1
      ;;
  esac
}

# kw_use_kind win32|win64: the Wine loader, prefix kind and build folder
# (KW_BUILD_DIR, relative to the source tree) of that kind.
kw_use_kind() {
  KW_KIND=$1
  export WINEARCH=$1
  case "$1" in
    win32)
      KW_WINE_LOADER=$KW_WINE32_LOADER
      KW_BUILD_DIR=build/win
      unset WINELOADER
      ;;
    win64)
      KW_WINE_LOADER=$KW_WINE64_LOADER
      KW_BUILD_DIR=build/win64
      export WINELOADER=$KW_WINE64_LOADER
      ;;
    *)
      echo "wine-env: unknown kind '$1'" >&2
      return 1
      ;;
  esac
}

kw_wine() {
  "$KW_WINE_LOADER" "$@"
}

# kw_prefix_kind DIR: win32 or win64 for an existing prefix, else nothing.
kw_prefix_kind() {
  [ -f "$1/system.reg" ] || return 0  # a failing sed would end a caller's set -e -o pipefail
  sed -n 's/^#arch=\(win32\|win64\)\r\{0,1\}$/\1/p' "$1/system.reg" 2>/dev/null | head -n 1
}

# kw_make_prefix DIR: makes DIR the Wine prefix of this shell, creating a
# prefix of the current kind there unless one exists (about 15 s for a
# 32-bit, 7 s for a 64-bit one). A prefix of the other kind is refused.
kw_make_prefix() {
  local dir=$1 existing
  mkdir -p "$dir"
  export WINEPREFIX
  WINEPREFIX=$(cd "$dir" && pwd)
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating a ${KW_KIND#win}-bit prefix in $WINEPREFIX"
    timeout 300 "$KW_WINE_LOADER" wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  existing=$(kw_prefix_kind "$WINEPREFIX")
  if [ -n "$existing" ] && [ "$existing" != "$KW_KIND" ]; then
    echo "wine: $WINEPREFIX is a $existing prefix, not $KW_KIND" >&2
    return 1
  fi
}

# kw_stop_prefix: ends every process of the current prefix and its server.
kw_stop_prefix() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
}

# kw_start_xvfb [SCREEN]: starts Xvfb on a free display number and exports
# DISPLAY; SCREEN is its size and depth (default 1024x768x24). The server's
# process id is left in KW_XVFB_PID; kw_stop_xvfb ends it.
kw_start_xvfb() {
  local numfile screen=${1:-1024x768x24}
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  KW_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    if [ -s "$numfile" ]; then break; fi
    if ! kill -0 "$KW_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  local number
  number=$(tr -dc 0-9 <"$numfile")
  rm -f "$numfile"
  if [ -z "$number" ]; then
    echo "wine-env: Xvfb did not start" >&2
    kw_stop_xvfb
    return 1
  fi
  export DISPLAY=":$number"
}

kw_stop_xvfb() {
  if [ -n "${KW_XVFB_PID:-}" ]; then
    kill "$KW_XVFB_PID" 2>/dev/null || true
    wait "$KW_XVFB_PID" 2>/dev/null || true
    KW_XVFB_PID=
  fi
}
