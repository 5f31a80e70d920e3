#!/usr/bin/env bash
# The libFuzzer targets of tests/fuzz, built with clang in build/fuzz:
#   fuzz.sh run SECONDS   runs each target for SECONDS on its corpus copy in
#                         build/fuzz/corpus/<target>, new finds kept there
#   fuzz.sh replay        runs the checked-in corpus once through each target
# Prints one line per target; exits non-zero when any target failed. A
# failing input is saved as build/fuzz/<target>-crash-*; logs are in
# build/fuzz/logs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/fuzz

mode=${1:-}
seconds=${2:-60}
case "$mode" in
  run) [[ "$seconds" =~ ^[1-9][0-9]*$ ]] || mode=usage ;;
  replay) ;;
esac
case "$mode" in
  run | replay) ;;
  *)
    echo "usage: $0 run SECONDS | replay" >&2
    exit 2
    ;;
esac

mkdir -p "$build/logs"
if ! { cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKW_FUZZ=ON \
         -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ &&
       cmake --build "$build" --target fuzzers -j2; } >"$build/logs/build.log" 2>&1; then
  cat "$build/logs/build.log" >&2
  echo "fuzz: build failed" >&2
  exit 1
fi

# The targets keep their files in a temporary folder (in memory where there
# is a place for it); a failed target leaves its folder there, so all go.
scratch=/dev/shm
[ -w "$scratch" ] || scratch=${TMPDIR:-/tmp}
TMPDIR=$(mktemp -d "$scratch/kelpwise-fuzz.XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

failed=0
for seeds in "$root"/tests/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  log=$build/logs/$target.log
  options=(-artifact_prefix="$build/$target-" -timeout=10)
  if [ "$mode" = replay ]; then
    if "$build/$target" "${options[@]}" "$seeds"* >"$log" 2>&1; then
      echo "$target: $(ls "$seeds" | wc -l) inputs passed"
    else
      echo "$target: FAILED (see $log)"
      failed=1
    fi
    continue
  fi
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  cp -n "$seeds"* "$corpus"/
  ok=1
  "$build/$target" "${options[@]}" -max_total_time="$seconds" -print_final_stats=1 \
    "$corpus" >"$log" 2>&1 || ok=0
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ $ok = 1 ]; then
    echo "$target: ${runs:-0} executions in $seconds s ($(( ${runs:-0} / seconds ))/s), passed"
  else
    echo "$target: FAILED after ${runs:-0} executions (see $log)"
    failed=1
  fi
done
exit $failed
