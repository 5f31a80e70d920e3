#!/usr/bin/env bash
# Times Kelpwise against the bare registry cost on a large generated load.
#
#   bench/bench.sh [program-folder] [kwbench.exe]
#
# Defaults: Kelpwise and kwbench.exe of the build this machine runs
# (build/win in a 32-bit prefix, else build/win64 in a 64-bit one; see
# scripts/wine-env.sh); `make bench` builds both and runs this.
# Makes a throwaway prefix of that kind and an Xvfb display, fills the registry
# (kwbench generate), then in each of RUNS rounds (default 2): measures the
# bare walk over the searched keys (a), drives the program through a full
# search (b) and its deletion (c), restores the deleted values from the
# program's backup, deletes them again with a bare loop (d) and restores them
# once more. Each of a, b, c and d is the fastest of its rounds: other work on
# the machine changes the cost of every registry call, and the rounds
# interleave the measurements so that they share whatever it did. The first
# round also walks the same keys with the program's own walker but no window
# (a diagnostic: the window's share of b is b minus this). Set KEEP=1 to keep
# the prefix, TIMEOUT=s per program phase.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
kw_choose_kinds one
kw_use_kind "${KW_KINDS[0]}"
program_dir="$(realpath -m "${1:-$root/$KW_BUILD_DIR/Kelpwise}")"
kwbench="$(realpath -m "${2:-$root/$KW_BUILD_DIR/kwbench.exe}")"
runs="${RUNS:-2}"
timeout="${TIMEOUT:-1800}"

[ -f "$program_dir/Kelpwise.exe" ] || { echo "bench: no $program_dir/Kelpwise.exe (make windows)" >&2; exit 2; }
[ -f "$kwbench" ] || { echo "bench: no $kwbench (cmake --build $KW_BUILD_DIR --target kwbench)" >&2; exit 2; }

work="$(mktemp -d /tmp/kwbench.XXXXXX)"
cleanup() {
  kw_stop_prefix
  kw_stop_xvfb
  if [ "${KEEP:-0}" = 1 ]; then echo "bench: kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

kw_start_xvfb
kw_make_prefix "$work/prefix" >&2
# Keep one server for the whole run: a restarted server first reloads the
# large registry, which would be counted in the next measurement.
wineserver -p
drive_c="$WINEPREFIX/drive_c"
cp -r "$program_dir" "$drive_c/Kelpwise"
mkdir -p "$drive_c/Kelpwise/backup"
cp "$kwbench" "$drive_c/kwbench.exe"

# Every category on; the last two flags (break-down, automatic start) kept.
config="$drive_c/Kelpwise/config.ini"
if [ -f "$config" ]; then
  awk 'BEGIN { ORS = "" }
       { line = $0; sub(/\r$/, "", line); cr = ($0 ~ /\r$/) ? "\r" : "" }
       previous == "Options" { line = "111111111111" substr(line, 13) }
       { print line cr "\n"; previous = line }' "$config" > "$config.new"
  mv "$config.new" "$config"
fi

kw() { kw_wine 'C:\kwbench.exe' "$@" | tr -d '\r'; }
value() { sed -n "s/.*\\b$1=\\([^ ]*\\).*/\\1/p" | tail -n1; }

echo "bench: generating the registry load" >&2
kw generate | tee "$work/generate.txt" >&2

# smallest|largest VARIABLE NUMBER: keeps the smaller (larger) of the two in
# VARIABLE; an empty VARIABLE takes NUMBER.
smallest() {
  if [ -z "${!1}" ] || awk -v n="$2" -v v="${!1}" 'BEGIN { exit !(n < v) }'; then
    printf -v "$1" '%s' "$2"
  fi
}
largest() {
  if [ -z "${!1}" ] || awk -v n="$2" -v v="${!1}" 'BEGIN { exit !(n > v) }'; then
    printf -v "$1" '%s' "$2"
  fi
}
restore() { kw_wine regedit /s "$(kw_wine winepath -w "$1")" >/dev/null 2>&1 || true; }

a="" b="" c="" d="" peak="" checking_changes="" checking_still="" longest_wait=""
for run in $(seq "$runs"); do
  kw bare-walk > "$work/walk$run.txt"
  echo "bench: bare walk $run: $(grep '^total' "$work/walk$run.txt")" >&2
  smallest a "$(grep '^total' "$work/walk$run.txt" | value seconds)"

  if [ "$run" = 1 ]; then
    kw core-walk > "$work/core.txt"
    echo "bench: program walk without window: $(cat "$work/core.txt")" >&2
  fi

  echo "bench: driving Kelpwise (search, then deletion) $run" >&2
  drive="$work/drive$run.txt"
  kw drive 'C:\Kelpwise\Kelpwise.exe' "$timeout" | tee "$drive" >&2
  smallest b "$(value pass_seconds < "$drive")"
  smallest c "$(value delete_seconds < "$drive")"
  # The progress line and the memory as the worst round had them.
  smallest checking_changes "$(value checking_changes < "$drive")"
  largest checking_still "$(value checking_still_seconds < "$drive")"
  largest longest_wait "$(value longest_wait_seconds < "$drive")"
  largest peak "$(value peak_working_set_kb < "$drive")"
  status="$(grep '^status=' "$drive" | cut -d= -f2-)"

  backup="$(ls -t "$drive_c/Kelpwise/backup/"*.reg 2>/dev/null | head -n1 || true)"
  [ -n "$backup" ] || { echo "bench: the program wrote no backup file" >&2; exit 1; }
  echo "bench: restoring $(basename "$backup")" >&2
  restore "$backup"
  kw bare-delete "$(kw_wine winepath -w "$backup")" | tee "$work/delete.txt" >&2
  smallest d "$(value seconds < "$work/delete.txt")"
  deleted="$(value deleted < "$work/delete.txt")"
  records="$(value records < "$work/delete.txt")"
  [ "$deleted" = "$records" ] ||
    echo "bench: warning: only $deleted of $records restored values were deleted again" >&2
  restore "$backup"
done

ratio() { awk -v x="$1" -v y="$2" 'BEGIN { if (y > 0) printf "%.2f", x / y; else print "n/a" }'; }
verdict() { awk -v r="$1" -v t="$2" 'BEGIN { if (r == "n/a") print ""; else if (r + 0 <= t + 0) print "(target <= " t ": met)"; else print "(target <= " t ": MISSED)" }'; }
wait_verdict() { awk -v w="$1" 'BEGIN { if (w == "" || w < 0) print "never answered"; else if (w <= 0.2) print "target <= 0.2 s: met"; else print "target <= 0.2 s: MISSED" }'; }
total="$(grep '^total' "$work/walk1.txt")"
keys="$(value keys <<<"$total")"
values="$(value values <<<"$total")"
classes_keys="$(grep '^category=6 ' "$work/walk1.txt" | value keys)"
core="$(value seconds < "$work/core.txt")"
probes="$(value probes < "$work/core.txt")"
probe_seconds="$(value probe_seconds < "$work/core.txt")"
ba="$(ratio "$b" "$a")"
cd_="$(ratio "$c" "$d")"
cat <<REPORT

Kelpwise bench: $(kw_describe_kind "$KW_KIND")
keys walked              ${keys} (${classes_keys} below HKEY_CLASSES_ROOT outside the excluded subtrees)
values read              ${values}
(a) bare walk            ${a} s  (each of a-d: fastest of ${runs})
(b) program search       ${b} s  (${status})
    progress line        ${checking_changes} changes, longest unchanged ${checking_still} s
longest unanswered wait  ${longest_wait} s  (WM_NULL every 50 ms during b; $(wait_verdict "$longest_wait"))
    walk without window  ${core} s  (${probes} file probes: ${probe_seconds} s)
(c) program deletion     ${c} s
(d) bare deletion        ${d} s  (${records} values)
b/a                      ${ba} $(verdict "$ba" 1.1)
c/d                      ${cd_} $(verdict "$cd_" 2)
peak working set         ${peak} KB (Kelpwise.exe)
REPORT
