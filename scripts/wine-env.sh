# Sourced by the scripts that run Kelpwise or its test programs under Wine.
# Quiet 32-bit Wine that never offers to download Mono or Gecko, plus helpers
# for a private prefix and a private X display.

export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# kw_make_prefix DIR: makes DIR the Wine prefix of this shell, creating a
# 32-bit prefix there unless one already exists (about 15 s when it does not).
kw_make_prefix() {
  local dir=$1
  mkdir -p "$dir"
  export WINEPREFIX
  WINEPREFIX=$(cd "$dir" && pwd)
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating a 32-bit prefix in $WINEPREFIX"
    timeout 300 wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
}

# kw_stop_prefix: ends every process of the current prefix and its server.
kw_stop_prefix() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
}

# kw_start_xvfb: starts Xvfb on a free display number and exports DISPLAY.
# The server's process id is left in KW_XVFB_PID; kw_stop_xvfb ends it.
kw_start_xvfb() {
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
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
