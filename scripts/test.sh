#!/usr/bin/env bash
# Sets everything up, builds, makes the package and checks its contents, and runs
# every test with ctest under Wine.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$ROOT/scripts/build.sh"
package_status=0
"$ROOT/scripts/package.sh" || package_status=$?
# The tests check the sizes of 100 %.
export LIRVAN_DPI=96
. "$ROOT/scripts/wine-env.sh"
ensure_display
ensure_prefix
start_desktop
status=0
(cd "$BUILD_DIR" && ctest --output-on-failure "$@") || status=$?
stop_wineserver
stop_display
[ $package_status -eq 0 ] || echo "The package step failed (see above)." >&2
[ $status -ne 0 ] || status=$package_status
exit $status
