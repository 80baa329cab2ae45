#!/usr/bin/env bash
# Sets everything up, builds Lirvan and starts it (under Wine on Linux).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$ROOT/scripts/build.sh"
. "$ROOT/scripts/wine-env.sh"
ensure_display
trap 'stop_wineserver; stop_display' EXIT
ensure_prefix
start_wineserver
echo "Starting Lirvan (display $DISPLAY)."
"$WINE" "$BUILD_DIR/Lirvan.exe" "$@"
