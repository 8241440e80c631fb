#!/usr/bin/env bash
# Builds the launcher and runs every test, from a fresh clone on Debian.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
cmake --preset posix
cmake --build --preset posix
ctest --preset posix
