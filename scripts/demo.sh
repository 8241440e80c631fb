#!/usr/bin/env bash
# Builds the launcher and runs it on the demo installation, so that you can
# see how it translates a command line. Arguments replace the sample ones.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
cmake --preset posix >/dev/null
cmake --build --preset posix >/dev/null

demo=build/posix/demo-installation
if [ $# -eq 0 ]; then set -- -data "My Work" -clean; fi
printf '$ %s' "$demo/launcher"; printf ' %q' "$@"; echo
echo "--- $demo/launcher.ini"
cat "$demo/launcher.ini"
echo "---"
exec "$demo/launcher" "$@"
