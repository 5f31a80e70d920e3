#!/usr/bin/env bash
# Captures Kelpwise's windows under Wine on a private virtual display:
# the main window in its welcome state in English and in German, and the
# Options, Language Selection and About dialogs in each language.
#
#   scripts/screenshots.sh OUTPUT_DIR [PROGRAM_DIR]
#
# PROGRAM_DIR is a built program folder (Kelpwise.exe with its config.ini,
# language file and blacklist.ini); by default the first of build/win/Kelpwise
# and build/windows-win/Kelpwise that exists. The program runs from a copy of
# it, in a throwaway 32-bit prefix that is removed at the end.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 OUTPUT_DIR [PROGRAM_DIR]" >&2
  exit 2
fi
repo=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
out=$(cd "$1" && pwd)

program=${2:-}
if [ -z "$program" ]; then
  for candidate in "$repo/build/win/Kelpwise" "$repo/build/windows-win/Kelpwise"; do
    if [ -f "$candidate/Kelpwise.exe" ]; then program=$candidate; break; fi
  done
fi
if [ -z "$program" ] || [ ! -f "$program/Kelpwise.exe" ]; then
  echo "screenshots: no built program folder found; build the Windows target first" >&2
  exit 1
fi

# shellcheck source=scripts/wine-env.sh
source "$repo/scripts/wine-env.sh"

work=$(mktemp -d /tmp/kelpwise-shots.XXXXXX)
cleanup() {
  kw_stop_prefix
  kw_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

kw_start_xvfb
kw_make_prefix "$work/prefix"

# set_language DIR SECTION: the "Language" value of DIR/config.ini (CR LF).
set_language() {
  sed -i "/^Language\r\$/{n;s/^.*\r\$/$2\r/}" "$1/config.ini"
}

# wait_for_window NAME: the X id of the first window titled NAME.
wait_for_window() {
  local id i
  for i in $(seq 1 80); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.25
  done
  echo "screenshots: no window \"$1\" appeared" >&2
  return 1
}

shoot() {
  sleep 1
  import -window root "$out/$1.png"
  echo "screenshots: $out/$1.png"
}

# press KEYS: keyboard input to the window that has the focus.
press() {
  xdotool key --delay 80 "$@"
  sleep 0.6
}

# capture LANGUAGE_TAG SECTION OPTIONS_KEY
capture() {
  local tag=$1 section=$2 options_key=$3 dir="$work/program-$1"
  cp -r "$program" "$dir"
  set_language "$dir" "$section"
  (cd "$dir" && exec wine Kelpwise.exe >/dev/null 2>&1) &
  local main
  main=$(wait_for_window "Tarnwell Kelpwise")
  xdotool windowfocus --sync "$main" 2>/dev/null || true
  shoot "welcome-$tag"

  press "$options_key"
  shoot "options-$tag"
  press Escape

  # File menu, then Language Selection (fourth item; separators are skipped).
  press F10 Return Down Down Down Return
  shoot "language-$tag"
  press Escape

  # Help menu, then About (third item).
  press F10 Right Return Down Down Return
  shoot "about-$tag"
  press Return

  kw_stop_prefix
  sleep 0.5
}

capture en "[1033]" alt+o
capture de "[1031]" alt+o
