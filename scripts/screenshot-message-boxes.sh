#!/usr/bin/env bash
# Remakes docs/message-boxes.png: the real Windows launcher's usage box and a
# German error box, shown by Wine on a virtual X display and photographed.
#   scripts/screenshot-message-boxes.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh g++-mingw-w64-x86-64 googletest wine wine64 xvfb imagemagick
cmake --preset windows >/dev/null
cmake --build --preset windows --target launcher >/dev/null

work="$(mktemp -d)"
export WINEPREFIX="$PWD/build/windows/wineprefix-x11"  # a real graphics driver
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=:93
Xvfb "$DISPLAY" -screen 0 640x360x24 >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
[ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; }

# Shows the box of C:\FOLDER\launcher.exe ARGS on a Wine virtual desktop
# (which draws the window frames), photographs it into FILE, closes it.
photograph() {
  local file="$1" folder="$2"
  shift 2
  wine explorer /desktop=shot,560x200 "C:\\$folder\\launcher.exe" "$@" >/dev/null 2>&1 &
  sleep 8
  import -display "$DISPLAY" -window root "$work/screen.png"
  # The desktop's background is one colour: cut it away, keep a margin.
  convert "$work/screen.png" -crop 560x200+0+0 -trim +repage \
    -bordercolor '#3a6ea5' -border 10 "$file"
  wineserver -k 2>/dev/null || true
  sleep 1
}

drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/Velmora" "$drive_c/Tool"
cp build/windows/bin/launcher.exe "$drive_c/Velmora/"
cp build/windows/bin/launcher.exe "$drive_c/Tool/"
rm -f "$drive_c/Tool/launcher.ini"
printf '[Settings]\r\nVMArgs=-Xmx512m\r\n' > "$drive_c/Velmora/launcher.ini"

photograph "$work/usage.png" Velmora -help
LC_ALL=de_DE.UTF-8 photograph "$work/german.png" Tool 2>/dev/null

mkdir -p docs
convert "$work/usage.png" -size 16x1 xc:white "$work/german.png" -background white \
  -gravity center +append docs/message-boxes.png
echo "wrote docs/message-boxes.png"
