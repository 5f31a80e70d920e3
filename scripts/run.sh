#!/usr/bin/env bash
# Builds Kelpwise and starts it in a private demo Wine prefix
# (build/demo-prefix), never in your own ~/.wine.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

bash scripts/setup.sh
bash scripts/build.sh windows

if [ -z "${DISPLAY:-}" ]; then
  cat >&2 <<'MSG'

Kelpwise is built (build/win/Kelpwise/Kelpwise.exe), but there is no display
to show its window on: DISPLAY is not set.
Run it on a virtual display instead:

    xvfb-run -a make run

or start it from a desktop session.
MSG
  exit 1
fi

kw_make_prefix build/demo-prefix
trap kw_stop_prefix EXIT

# The demo registry of fixtures/ goes into the prefix once, so that the first
# search finds something. A failed seeding leaves no mark and is tried again
# on the next run; `bash fixtures/seed.sh build/demo-prefix` seeds it anew.
seeded_mark="$WINEPREFIX/kelpwise-demo-seeded"
if [ ! -f "$seeded_mark" ]; then
  bash fixtures/seed.sh "$WINEPREFIX"
  touch "$seeded_mark"
fi

echo "run: starting Kelpwise in $WINEPREFIX on display $DISPLAY"
wine build/win/Kelpwise/Kelpwise.exe
