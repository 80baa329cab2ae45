#!/usr/bin/env bash
# Tries kinds of damaged link files on the shell link service alone, under Wine:
#   scripts/link-trial.sh [KIND_PART...]
# (see scripts/link-trial.py for what it prints).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$ROOT/scripts/build.sh" >/dev/null
. "$ROOT/scripts/wine-env.sh"
ensure_prefix
start_wineserver
status=0
WINE="$WINE" BUILD_DIR="$BUILD_DIR" python3 "$ROOT/scripts/link-trial.py" "$@" || status=$?
stop_wineserver
exit $status
