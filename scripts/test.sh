#!/usr/bin/env bash
# Builds the launcher and runs every test, from a fresh clone on Debian:
# the POSIX launcher natively, the Windows launcher cross-compiled with
# MinGW-w64 and tested under Wine (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."

# strace: an end-to-end test makes a read of the INI file fail with it.
scripts/install-dependencies.sh g++-mingw-w64-x86-64 googletest wine wine64 strace

cmake --preset posix
cmake --build --preset posix
ctest --preset posix

# The Windows tests share one Wine prefix and server in the build tree.
trap 'cmake/wine-run.sh --stop "$PWD/build/windows/wineprefix"' EXIT
cmake --preset windows
cmake --build --preset windows
ctest --preset windows
