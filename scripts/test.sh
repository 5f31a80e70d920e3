#!/usr/bin/env bash
# Builds everything and runs every test program: the native unit tests, then
# each program built from tests/wine/<suite>/ under Wine on a private Xvfb
# display, once for each build this machine can run (the 32-bit build in a
# throwaway 32-bit prefix, the 64-bit build in a throwaway 64-bit prefix; see
# scripts/wine-env.sh, KW_WINE_ARCH forces one). Ends with one line
# "N passed, N failed" over all programs; exits non-zero when any test
# failed or any program crashed, hung or printed no result.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

# Seconds one test program may run before it is killed.
program_timeout=${KW_TEST_TIMEOUT:-900}

started=$SECONDS
bash scripts/setup.sh
kw_choose_kinds all
bash scripts/build.sh native
# Both Windows builds are built on every machine, also where only one runs.
bash scripts/build.sh windows

work=$(mktemp -d /tmp/kelpwise-test.XXXXXX)
cleanup() {
  kw_stop_prefix
  kw_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

total_passed=0
total_failed=0
problems=()
notes=()

# run_program NAME COMMAND...: runs one gtest program with a time limit,
# shows its output and adds its counts to the totals.
run_program() {
  local name=$1
  shift
  local out="$work/$name.out" err="$work/$name.err"
  echo
  echo "=== $name"
  local rc=0
  timeout -k 10 "$program_timeout" "$@" >"$out" 2>"$err" </dev/null || rc=$?
  tr -d '\r' <"$out" >"$out.txt"
  cat "$out.txt"

  local passed failed
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9][0-9]*\) tests\{0,1\}\..*/\1/p' "$out.txt" | tail -n 1)
  failed=$(sed -n 's/^\[  FAILED  \] \([0-9][0-9]*\) tests\{0,1\}, listed below.*/\1/p' "$out.txt" | tail -n 1)
  total_passed=$((total_passed + ${passed:-0}))
  total_failed=$((total_failed + ${failed:-0}))

  local problem=""
  if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    problem="timed out after ${program_timeout} s"
  elif [ -z "$passed" ] && [ -z "$failed" ]; then
    problem="printed no result (exit code $rc)"
  elif [ "$rc" -ne 0 ] && [ "${failed:-0}" -eq 0 ]; then
    problem="exited with code $rc"
  fi
  if [ -n "$problem" ]; then
    total_failed=$((total_failed + 1))
    problems+=("$name $problem")
    echo "--- $name $problem; last lines of its error output:"
    tr -d '\r' <"$err" | tail -n 30
  elif [ "${failed:-0}" -ne 0 ]; then
    problems+=("$name: ${failed} failed")
    echo "--- last lines of $name's error output:"
    tr -d '\r' <"$err" | tail -n 30
  fi
}

run_program unit_tests build/native/unit_tests

# The fuzz targets replay their checked-in corpus once (seconds); each
# target counts as one test.
echo
echo "=== fuzz corpus replay"
fuzz_rc=0
bash scripts/fuzz.sh replay >"$work/fuzz.out" 2>&1 || fuzz_rc=$?
cat "$work/fuzz.out"
fuzz_passed=$(grep -c ': [0-9]* inputs passed$' "$work/fuzz.out" || true)
fuzz_failed=$(grep -c ': FAILED' "$work/fuzz.out" || true)
total_passed=$((total_passed + fuzz_passed))
total_failed=$((total_failed + fuzz_failed))
if [ "$fuzz_failed" -ne 0 ]; then
  problems+=("fuzz corpus replay: $fuzz_failed failed")
elif [ "$fuzz_rc" -ne 0 ] || [ "$fuzz_passed" -eq 0 ]; then
  total_failed=$((total_failed + 1))
  problems+=("fuzz corpus replay did not run (exit code $fuzz_rc)")
fi

# The winget manifests this build wrote name its setup programs with their
# hashes, and the checked-in set is the same but for the hashes: one test.
echo
echo "=== winget manifests"
if python3 scripts/winget.py check build/winget build/win/Kelpwise-setup-32.exe \
  build/win64/Kelpwise-setup-64.exe installer/winget; then
  total_passed=$((total_passed + 1))
else
  total_failed=$((total_failed + 1))
  problems+=("winget manifests")
fi

kw_start_xvfb

# run_wine_programs KIND: every Wine test program of KIND's build, in one
# throwaway prefix of that kind, against a pristine program folder (the built
# one with the shipped files restored, so that settings changed by a demo run
# do not leak into the tests).
run_wine_programs() {
  kw_use_kind "$1"
  kw_make_prefix "$work/prefix-$1"
  local program_dir="$work/Kelpwise-$1"
  cp -r "$KW_BUILD_DIR/Kelpwise" "$program_dir"
  cp dist/* "$program_dir/"
  rm -rf "$program_dir/backup"
  mkdir "$program_dir/backup"
  export KW_PROGRAM_DIR KW_SOURCE_DIR
  KW_PROGRAM_DIR=$(kw_wine winepath -w "$program_dir")
  KW_SOURCE_DIR=$(kw_wine winepath -w "$root")
  mkdir -p "$work/reports/$1"
  export KW_REPORTS_DIR
  KW_REPORTS_DIR=$(kw_wine winepath -w "$work/reports/$1")

  local suite_dir suite exe
  for suite_dir in tests/wine/*/; do
    suite=$(basename "$suite_dir")
    exe="$KW_BUILD_DIR/$suite.exe"
    if [ ! -f "$exe" ]; then
      total_failed=$((total_failed + 1))
      problems+=("$suite ($1) was not built")
      continue
    fi
    run_program "$suite ($1)" "$KW_WINE_LOADER" "$exe"
  done
  kw_stop_prefix
}

for kind in "${KW_KINDS[@]}"; do
  run_wine_programs "$kind"
done
# The JSON reports the Wine programs left in KW_REPORTS_DIR, read by
# Debian's Python (which setup.sh gave jsonschema) and checked against their
# schema; one test.
echo
echo "=== JSON report check"
if /usr/bin/python3 tests/check_reports.py "$work/reports" docs/report.schema.json; then
  total_passed=$((total_passed + 1))
else
  total_failed=$((total_failed + 1))
  problems+=("JSON report check failed")
fi

if [[ " ${KW_KINDS[*]} " != *" win32 "* ]]; then
  notes+=("the 32-bit build was built but not run (${KW_32BIT_PROBLEM:-KW_WINE_ARCH=$KW_WINE_ARCH})")
fi

echo
echo "=== summary ($((SECONDS - started)) s)"
for p in "${problems[@]}"; do
  echo "  $p"
done
for n in "${notes[@]}"; do
  echo "  note: $n"
done
echo "$total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]
