#!/usr/bin/env bash
# Installs what is missing, then configures and builds Lirvan and its tests.
# LIRVAN_BUILD_DIR picks another build folder (default: build).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${LIRVAN_BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/bootstrap.sh"
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$BUILD_DIR"
