#!/usr/bin/env bash
# Builds Lirvan, then makes its package with CPack and checks what is in it:
#   build/package/Lirvan-<version>-win64.zip  holding Lirvan.exe, lirvan.hlp, lirvan.html, README.txt
# The version is the CMake project's. Fails when the zip lacks one of the four
# or holds anything else.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${LIRVAN_BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/build.sh" >/dev/null
(cd "$BUILD_DIR" && cpack -G ZIP --config CPackConfig.cmake >/dev/null)

name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$BUILD_DIR/CPackConfig.cmake")
zip="$BUILD_DIR/package/$name.zip"
[ -f "$zip" ] || { echo "package: $zip was not made" >&2; exit 1; }

expected=$'Lirvan.exe\nREADME.txt\nlirvan.hlp\nlirvan.html'
listed=$(unzip -Z1 "$zip" | LC_ALL=C sort)
if [ "$listed" != "$(LC_ALL=C sort <<<"$expected")" ]; then
  echo "package: $zip holds" >&2
  echo "$listed" >&2
  echo "package: expected exactly" >&2
  echo "$expected" >&2
  exit 1
fi
# The zip must carry the program just built, not an old one.
unzip -p "$zip" Lirvan.exe | cmp -s - "$BUILD_DIR/Lirvan.exe" || { echo "package: Lirvan.exe differs from the build" >&2; exit 1; }
echo "Package written to $zip ($(echo "$listed" | tr '\n' ' '))"
