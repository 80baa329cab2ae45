#!/usr/bin/env bash
# Installs what building, running and testing Lirvan needs on Debian, when it is missing.
# Safe to run again: it only installs what is absent.
set -euo pipefail

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
          wine64 fonts-wine xvfb xauth fonts-ipafont-gothic locales googletest imagemagick x11-utils unzip)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine maps Japanese file names only when the host knows the locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "bootstrap: generating locale ja_JP.UTF-8"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
