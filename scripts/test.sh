#!/usr/bin/env bash
# Sets everything up, builds, and runs every test with ctest under Wine.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$ROOT/scripts/build.sh"
. "$ROOT/scripts/wine-env.sh"
ensure_display
ensure_prefix
start_desktop
status=0
(cd "$BUILD_DIR" && ctest --output-on-failure "$@") || status=$?
stop_wineserver
stop_display
exit $status
