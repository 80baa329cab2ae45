# Sourced by the other scripts: a project-owned Wine prefix in the Japanese
# locale, and an X display (a virtual one when none is set).
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${LIRVAN_BUILD_DIR:-$ROOT/build}"
WINE="${LIRVAN_WINE:-/usr/lib/wine/wine64}"
WINESERVER="${LIRVAN_WINESERVER:-/usr/lib/wine/wineserver}"
# LIRVAN_DPI (e.g. 144 for 150 %, 192 for 200 %) runs Wine at that scale, in a
# prefix of its own, so the tests' prefix stays at 96 DPI.
LIRVAN_DPI="${LIRVAN_DPI:-96}"
if [ "$LIRVAN_DPI" = 96 ]; then
  export WINEPREFIX="${LIRVAN_WINEPREFIX:-$BUILD_DIR/wineprefix}"
else
  export WINEPREFIX="${LIRVAN_WINEPREFIX:-$BUILD_DIR/wineprefix-${LIRVAN_DPI}dpi}"
fi
# The screen and the Wine desktop grow with the scale, so big windows still fit.
SCREEN_W=$((1280 * LIRVAN_DPI / 96)); SCREEN_H=$((900 * LIRVAN_DPI / 96))
DESKTOP_W=$((1200 * LIRVAN_DPI / 96)); DESKTOP_H=$((860 * LIRVAN_DPI / 96))
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Only LC_ALL makes Wine's ANSI code page 932.
export LC_ALL=ja_JP.UTF-8
# The Recycle Bin: Wine keeps it in the freedesktop trash of XDG_DATA_HOME, which
# must exist; the project keeps its own beside the prefix.
export XDG_DATA_HOME="${LIRVAN_XDG_DATA_HOME:-$BUILD_DIR/xdg-data}"
mkdir -p "$XDG_DATA_HOME/Trash/files" "$XDG_DATA_HOME/Trash/info" 2>/dev/null || true

# Starts Xvfb when there is no display; the caller stops it with stop_display.
XVFB_PID=""
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${SCREEN_W}x${SCREEN_H}x24" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    echo "No X display was set: started a virtual one (Xvfb) on $DISPLAY." >&2
    return
  done
  echo "Could not start a virtual X display." >&2
  exit 1
}

stop_display() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}

# Starts the Wine server on its own, writing nowhere: a Wine program that has to
# start it hands it its output, and whoever reads that through a pipe would wait
# for the server to exit.
start_wineserver() {
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null || true
}

# Wine's helper processes (services, the desktop) start with the first program and
# take over its output; ctest and scripts read that through pipes and would wait for
# them. Start them first, writing nowhere, and keep the desktop alive meanwhile.
start_desktop() {
  start_wineserver
  "$WINE" "$BUILD_DIR/tests/wintool.exe" hold >/dev/null 2>&1 </dev/null &
  local i
  for i in $(seq 1 100); do pgrep -f 'explorer.exe /desktop' >/dev/null && break; sleep 0.1; done
}

stop_wineserver() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
}

# Creates the prefix once: every program runs in one virtual desktop (so windows
# have captions without a window manager), and the Japanese faces map to IPA fonts.
ensure_prefix() {
  if [ -f "$WINEPREFIX/.lirvan-ready" ]; then install_caption_font; own_user_folders; return; fi
  mkdir -p "$WINEPREFIX"
  start_wineserver
  "$WINE" wineboot -i >/dev/null 2>&1 </dev/null
  # Registry files in UTF-16 keep the Japanese face names intact.
  local reg="$WINEPREFIX/lirvan-setup.reg"
  local logpixels
  logpixels=$(printf '%08x' "$LIRVAN_DPI")
  iconv -f UTF-8 -t UTF-16 >"$reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="${DESKTOP_W}x${DESKTOP_H}"

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$logpixels

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]
"LogPixels"=dword:$logpixels

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
REG
  "$WINE" regedit "$reg" >/dev/null 2>&1 </dev/null
  # Programs started from now on must see the desktop setting: restart the server
  # (which also writes the registry out).
  stop_wineserver
  install_caption_font
  own_user_folders
  touch "$WINEPREFIX/.lirvan-ready"
}

# Wine points the user's Desktop, Documents and the like at the Unix home folder:
# a survey of the desktop would walk all of it, and a test's file there would land
# in the home folder. The prefix gets folders of its own in their places.
own_user_folders() {
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos,Templates} \
              "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Templates; do
    [ -L "$link" ] || continue
    rm -f "$link" && mkdir -p "$link"
  done
}

# Caption buttons are drawn with Marlett. This Wine does not load the copy in its
# data folder (fonts-wine), so the buttons showed as "0 1 r"; a copy in the
# prefix's Fonts folder is found.
install_caption_font() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  local marlett="${LIRVAN_MARLETT:-/usr/share/wine/fonts/marlett.ttf}"
  [ -f "$fonts/marlett.ttf" ] || { [ -f "$marlett" ] && mkdir -p "$fonts" && cp "$marlett" "$fonts/"; } || true
}
