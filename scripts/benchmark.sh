#!/usr/bin/env bash
# Times the survey and the table commands under Wine.
#   scripts/benchmark.sh [SIZE] [NAME]
# SIZE is handed to every benchmark (each says what it means and its default);
# NAME runs only the benchmark of that name.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$ROOT/scripts/build.sh" >/dev/null
. "$ROOT/scripts/wine-env.sh"
ensure_display
ensure_prefix
start_desktop
status=0
"$WINE" "$BUILD_DIR/tests/benchmark.exe" "${1:-0}" ${2:+"$2"} </dev/null || status=$?
stop_wineserver
stop_display
exit $status
