#!/usr/bin/env bash
# Builds Kelpwise and starts it in a private demo Wine prefix, never in your
# own ~/.wine: the 32-bit build in build/demo-prefix where this machine runs
# 32-bit programs, else the 64-bit build in build/demo-prefix-win64
# (KW_WINE_ARCH=win32 or win64 forces one; see scripts/wine-env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

bash scripts/setup.sh
kw_choose_kinds one
kw_use_kind "${KW_KINDS[0]}"
bash scripts/build.sh "$KW_KIND"

if [ -z "${DISPLAY:-}" ]; then
  cat >&2 <<MSG

Kelpwise is built ($KW_BUILD_DIR/Kelpwise/Kelpwise.exe), but there is no display
to show its window on: DISPLAY is not set.
Run it on a virtual display instead:

    xvfb-run -a make run

or start it from a desktop session.
MSG
  exit 1
fi

# Each kind of prefix has a demo prefix of its own.
demo_prefix=build/demo-prefix
[ "$KW_KIND" = win64 ] && demo_prefix=build/demo-prefix-win64
kw_make_prefix "$demo_prefix"
trap kw_stop_prefix EXIT

# The demo registry of fixtures/ goes into the prefix once, so that the first
# search finds something. A failed seeding leaves no mark and is tried again
# on the next run; `bash fixtures/seed.sh <demo prefix>` seeds it anew.
seeded_mark="$WINEPREFIX/kelpwise-demo-seeded"
if [ ! -f "$seeded_mark" ]; then
  bash fixtures/seed.sh "$WINEPREFIX"
  touch "$seeded_mark"
fi

echo "run: starting $(kw_describe_kind "$KW_KIND") ($KW_BUILD_DIR/Kelpwise/Kelpwise.exe, prefix $WINEPREFIX) on display $DISPLAY"
kw_wine "$KW_BUILD_DIR/Kelpwise/Kelpwise.exe"
