#!/usr/bin/env bash
# Builds the launcher and runs it on the demo installation, so that you can
# see how it translates a command line. Arguments replace the sample ones.
#   scripts/demo.sh [--windows] [ARGUMENTS...]
# With --windows the Windows launcher runs under Wine instead; its message
# boxes then need a display (or Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."

preset=posix launcher=launcher run=()
if [ "${1:-}" = "--windows" ]; then
  shift
  preset=windows launcher=launcher.exe run=(cmake/wine-run.sh)
  scripts/install-dependencies.sh g++-mingw-w64-x86-64 googletest wine wine64
else
  scripts/install-dependencies.sh
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target demo_installation >/dev/null

demo=build/$preset/demo-installation
if [ $# -eq 0 ]; then set -- -data "My Work" -clean; fi
printf '$ %s' "$demo/$launcher"; printf ' %q' "$@"; echo
echo "--- $demo/launcher.ini"
cat "$demo/launcher.ini"
echo "---"
exec "${run[@]}" "$demo/$launcher" "$@"
