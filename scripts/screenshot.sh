#!/usr/bin/env bash
# Starts Lirvan, waits for its window and writes a screenshot (PNG).
#   scripts/screenshot.sh [OUT.png] [-- COMMAND...]
# Anything after -- runs (with WINTOOL set to the window driver) before the picture
# is taken, e.g.:  scripts/screenshot.sh shot.png -- '$WINTOOL command " - Lirvan" 32780'
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$ROOT/build/screenshot.png}"
shift || true
[ "${1:-}" = "--" ] && shift
"$ROOT/scripts/build.sh" >/dev/null
. "$ROOT/scripts/wine-env.sh"
ensure_display
ensure_prefix
start_desktop
"$WINE" "$BUILD_DIR/Lirvan.exe" >/dev/null 2>&1 &
app=$!
WINTOOL="$WINE $BUILD_DIR/tests/wintool.exe"
export WINTOOL
$WINTOOL wait " - Lirvan" 30000
for step in "$@"; do eval "$step"; done
sleep "${SCREENSHOT_SETTLE:-1.5}"
import -window root "$out"
echo "Screenshot written to $out"
if [ -z "${KEEP_RUNNING:-}" ]; then
  $WINTOOL close " - Lirvan" || true
  wait "$app" 2>/dev/null || true
  stop_wineserver
  stop_display
fi
