#!/usr/bin/env bash
# Captures every window and message box of Kelpwise under Wine on a private
# virtual display, in English, German, French and Spanish: the welcome
# window, the Options, Language Selection and About dialogs, the Reverse
# Changes file dialog and its refusal of a .reg file that writes where no
# search reads, the refusal of a "Homepage" that is no web address,
# the results of a search on the demo fixture, the
# no-selection note, a More Info box, the question after an options
# change, the deletion report, and, each from a run of its own, the
# automatic-start question, the key-loop guard's message and the error box
# for a missing file. One more set, in English only: the main window at 144
# DPI, made larger than its default, with the results of a search sorted by
# a click on the "Data" heading (main-144dpi-sorted-en.png).
#
#   scripts/screenshots.sh OUTPUT_DIR [PROGRAM_DIR]
#
# KW_SHOTS chooses the sets: "all" (the default) captures everything,
# "hidpi" only the 144 DPI picture.
#
# PROGRAM_DIR is a built program folder (Kelpwise.exe with its config.ini,
# language file and blacklist.ini) of the build this machine runs (see
# scripts/wine-env.sh): by default build/win/Kelpwise in a 32-bit prefix, or
# build/win64/Kelpwise in a 64-bit one. The program runs from copies of it,
# in a throwaway prefix seeded with fixtures/demo.reg, which is removed at
# the end. Pictures are named <window>-<en|de|fr|es>.png.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 OUTPUT_DIR [PROGRAM_DIR]" >&2
  exit 2
fi
shots=${KW_SHOTS:-all}
if [ "$shots" != all ] && [ "$shots" != hidpi ]; then
  echo "screenshots: KW_SHOTS must be all or hidpi, not '$shots'" >&2
  exit 2
fi
repo=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
out=$(cd "$1" && pwd)

# shellcheck source=scripts/wine-env.sh
source "$repo/scripts/wine-env.sh"
kw_choose_kinds one
kw_use_kind "${KW_KINDS[0]}"

program=${2:-$repo/$KW_BUILD_DIR/Kelpwise}
if [ ! -f "$program/Kelpwise.exe" ]; then
  echo "screenshots: no $program/Kelpwise.exe; build it first (make windows)" >&2
  exit 1
fi
program=$(cd "$program" && pwd)

work=$(mktemp -d /tmp/kelpwise-shots.XXXXXX)
cleanup() {
  kw_stop_prefix
  kw_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

kw_start_xvfb
kw_make_prefix "$work/prefix"

# The key below RunMRU whose name repeats often enough to trip the key-loop
# guard (eight equal names in a row).
loop_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU'
for _ in 1 2 3 4 5 6 7 8; do loop_key="$loop_key\\Again"; done

seed() {
  bash "$repo/fixtures/seed.sh" "$WINEPREFIX" >/dev/null
}

# set_setting DIR KEY VALUE: a value line of DIR/config.ini (CR LF).
set_setting() {
  sed -i "/^$2\r\$/{n;s/^.*\r\$/$3\r/}" "$1/config.ini"
}

# main_window: the X id of the program's main window.
main_window() {
  local id i
  for i in $(seq 1 120); do
    id=$(xdotool search --onlyvisible --name '^Tarnwell Kelpwise$' 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.25
  done
  echo "screenshots: the main window did not appear" >&2
  return 1
}

# settle [SECONDS]: waits until the screen has not changed for a moment (a
# search has ended, a box has come up), at most SECONDS (default 10).
settle() {
  local limit=$((${1:-10} * 2)) last="" same=0 now i
  sleep 0.5
  for i in $(seq 1 "$limit"); do
    now=$(import -window root rgb:- 2>/dev/null | md5sum)
    if [ "$now" = "$last" ]; then
      same=$((same + 1))
      if [ "$same" -ge 2 ]; then return 0; fi
    else
      same=0
      last=$now
    fi
    sleep 0.5
  done
}

shoot() {
  settle
  import -window root "$out/$1.png"
  echo "screenshots: $out/$1.png"
}

# press KEY...: keys for the window that has the focus, one at a time.
press() {
  local key
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.4
  done
  settle
}

# start DIR: runs DIR/Kelpwise.exe and gives its main window the focus.
start() {
  (cd "$1" && exec "$KW_WINE_LOADER" Kelpwise.exe >/dev/null 2>&1) &
  local main
  main=$(main_window) || true
  if [ -n "$main" ]; then xdotool windowfocus --sync "$main" 2>/dev/null || true; fi
  settle
}

# new_copy TAG SECTION: a fresh program folder in the language SECTION.
new_copy() {
  local dir="$work/program-$1-$RANDOM"
  cp -r "$program" "$dir"
  set_language_in "$dir" "$2"
  echo "$dir"
}
set_language_in() { set_setting "$1" Language "$2"; }

# capture TAG SECTION SEARCH_KEY MORE_INFO_KEY DELETE_KEY: the windows of one
# language; the keys are the accelerators of its button captions.
capture() {
  local tag=$1 section=$2 search_key=$3 more_info_key=$4 delete_key=$5 dir main
  seed
  dir=$(new_copy "$tag" "$section")
  start "$dir"
  main=$(main_window)
  shoot "welcome-$tag"

  press alt+o
  shoot "options-$tag"
  press Escape

  # File menu: Start New Search, Options, Reverse Changes, Language
  # Selection, Exit (separators are skipped).
  press F10 Return Down Down Down Return
  shoot "language-$tag"
  press Escape

  # Help menu: Show Help File, Go To Website, About.
  press F10 Right Return Down Down Return
  shoot "about-$tag"
  press Return

  # Go To Website with a program name as "Homepage": the refusal.
  set_setting "$dir" Homepage notepad.exe
  press F10 Right Return Down Return
  shoot "website-refused-$tag"
  press Return

  xdotool key "$search_key"
  settle 120
  shoot "results-$tag"

  press "$more_info_key"
  shoot "no-selection-$tag"
  press Return

  # A click on the first row (the window is centred on the screen).
  xdotool mousemove --window "$main" 65 119 click 1
  settle
  press "$more_info_key"
  shoot "more-info-$tag"
  press Return

  # Options: the first check box (RunMRU) off, OK; results are listed.
  press alt+o space Return
  shoot "options-changed-$tag"
  press n

  xdotool key "$delete_key"
  settle 60
  shoot "deletion-report-$tag"
  press Return

  # The backup just written is in the folder the file dialog opens. A .reg
  # file there that would also write a Run key is refused.
  press F10 Return Down Down Return
  shoot "reverse-changes-$tag"
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"x"="C:\\\\x.exe"\r\n' \
    >"$dir/backup/planted.reg"
  xdotool type --delay 40 planted.reg
  press Return
  shoot "reverse-refused-$tag"
  press Return
  kw_stop_prefix

  # A start by the companion starter: the question first.
  dir=$(new_copy "$tag" "$section")
  set_setting "$dir" Startup automatically
  start "$dir"
  shoot "automatic-start-$tag"
  press n
  kw_stop_prefix

  # A registry key that repeats its name: the loop guard stops the search.
  dir=$(new_copy "$tag" "$section")
  set_setting "$dir" Options 10000000000000
  kw_wine reg add "$loop_key" /f >/dev/null 2>&1
  start "$dir"
  xdotool key "$search_key"
  settle 60
  shoot "loop-guard-$tag"
  press Return
  kw_stop_prefix
  kw_wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU\Again' /f \
    >/dev/null 2>&1 || true

  # A missing ignore list: the error box at start.
  dir=$(new_copy "$tag" "$section")
  rm "$dir/blacklist.ini"
  start "$dir"
  shoot "file-error-$tag"
  kw_stop_prefix
}

# capture_hidpi: the main window at 144 DPI (Wine reads LogPixels when a
# program starts; the value stays in the throwaway prefix), enlarged, after a
# search, sorted by its "Data" column.
capture_hidpi() {
  local desktop='HKCU\Control Panel\Desktop' dir main geometry x y width height
  local heading_y=145
  # A screen with room for a window larger than its 144 DPI default.
  kw_stop_xvfb
  kw_start_xvfb 1600x1200x24
  seed
  kw_wine reg add "$desktop" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
  dir=$(new_copy en "[1033]")
  start "$dir"
  main=$(main_window)
  xdotool windowsize --sync "$main" 1300 960
  xdotool windowmove --sync "$main" 40 40
  settle
  xdotool key alt+s
  settle 120
  # The heading row lies heading_y pixels below the window's top at 144 DPI
  # (under the menu bar and the top banner). The data column is the last one
  # and takes the rest of the list's width, so a point near the window's
  # right edge on that row is its heading.
  geometry=$(xdotool getwindowgeometry --shell "$main")
  x=$(sed -n 's/^X=//p' <<<"$geometry")
  y=$(sed -n 's/^Y=//p' <<<"$geometry")
  width=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
  height=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
  xdotool mousemove $((x + width - 150)) $((y + heading_y)) click 1
  settle
  # The pointer away from the heading, so that no hot tracking shows.
  xdotool mousemove 0 0
  settle
  # Only the window: the screen around it is empty.
  import -window root -crop "${width}x${height}+${x}+${y}" +repage "$out/main-144dpi-sorted-en.png"
  echo "screenshots: $out/main-144dpi-sorted-en.png"
  kw_stop_prefix
}

if [ "$shots" = all ]; then
  capture en "[1033]" alt+s alt+m alt+d
  capture de "[1031]" alt+s alt+m alt+l
  capture fr "[1036]" alt+l alt+p alt+s
  capture es "[3082]" alt+i alt+m alt+e
fi
capture_hidpi
