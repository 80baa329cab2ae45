#!/usr/bin/env bash
# Installs what is missing, then configures and builds Lirvan and its tests.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$ROOT/scripts/bootstrap.sh"
cd "$ROOT"
[ -f build/build.ninja ] || cmake --preset mingw >/dev/null
cmake --build build
