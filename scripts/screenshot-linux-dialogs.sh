#!/usr/bin/env bash
# Remakes docs/linux-dialogs.png: the POSIX launcher started without a
# terminal shows its usage text and a German error as zenity dialogs, here on
# a virtual X display, photographed.
#   scripts/screenshot-linux-dialogs.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh xvfb openbox zenity imagemagick locales
cmake --preset posix >/dev/null
cmake --build --preset posix --target launcher >/dev/null

work="$(mktemp -d /tmp/velmora.XXXX)"
export DISPLAY=:94
Xvfb "$DISPLAY" -screen 0 640x360x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 2
openbox >/dev/null 2>&1 &  # draws the title bars; ends with the display
export NO_AT_BRIDGE=1
# zenity needs the German locale to take German text; built here, privately.
mkdir -p "$work/locale"
localedef -i de_DE -f UTF-8 "$work/locale/de_DE.UTF-8" 2>/dev/null || true

# Starts DIRECTORY/launcher ARGS with no terminal on any standard stream,
# photographs the dialog it shows into FILE, and closes the dialog.
photograph() {
  local file="$1" directory="$2"
  shift 2
  "$directory/launcher" "$@" </dev/null >/dev/null 2>&1 &
  local launcher=$!
  sleep 4
  import -display "$DISPLAY" -window root "$work/screen.png"
  # The root window is one colour: cut it away, keep a white margin.
  convert "$work/screen.png" -trim +repage -bordercolor white -border 10 "$file"
  pkill -P "$launcher" || true  # the dialog tool; the launcher then ends
  wait "$launcher" || true
}

mkdir -p "$work/Velmora" "$work/Tool"
cp build/posix/bin/launcher "$work/Velmora/"
printf '[Settings]\nVMArgs=-Xmx512m\n' > "$work/Velmora/launcher.ini"
cp build/posix/bin/launcher "$work/Tool/"

photograph "$work/usage.png" "$work/Velmora" -help
{ LOCPATH="$work/locale" LC_ALL=de_DE.UTF-8 photograph "$work/german.png" "$work/Tool"; } 2>/dev/null

mkdir -p docs
convert "$work/usage.png" -size 16x1 xc:white "$work/german.png" -background white \
  -gravity center +append docs/linux-dialogs.png
echo "wrote docs/linux-dialogs.png"
