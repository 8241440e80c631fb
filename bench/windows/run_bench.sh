#!/usr/bin/env bash
# The Windows process benchmark (scripts/bench.sh --windows): builds the
# bench-windows preset (MinGW-w64), counts the DLLs that each chain's
# processes load in one untimed traced run per chain, then runs the timed
# loop under Wine and prints the table and the size of launcher.exe.
#   bench/windows/run_bench.sh [--rounds N] [--floor execv|createprocess]
#                              [--sleeping-target]
# The Wine prefix is build/bench-windows/wineprefix; its server is stopped
# at the end.
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake --preset bench-windows >&2
cmake --build --preset bench-windows >&2

bin=build/bench-windows/bin
prefix=$PWD/build/bench-windows/wineprefix
trap 'cmake/wine-run.sh --stop "$prefix"' EXIT
run() { cmake/wine-run.sh "$bin/windows_bench.exe" "$@"; }

# DLLs: Wine traces every module it maps with +loaddll, each line prefixed
# with the process id (+pid). --once prints the ids of the chain's
# processes, in the order they started, as the job object reported them.
# The executables themselves are not counted, nor ntdll.dll, which Wine
# maps into every process before tracing starts.
dlls=
for chain in floor floor_createprocess launcher cmd_peer target; do
  trace=$(mktemp)
  ids=$(WINEDEBUG=+pid,+loaddll run --once "$chain" 2>"$trace" | sed -n "s/.*processes://p" | tr -d "\r")
  counts=
  for id in $ids; do
    count=$(grep -ciE "^$id:[0-9a-f]+:trace:loaddll:.*Loaded L\".*\.dll\"" "$trace" || true)
    counts=${counts:+$counts+}$count
  done
  rm -f "$trace"
  dlls=${dlls:+$dlls,}$counts
done

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(wine --version 2>/dev/null)"
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
run --dlls "$dlls" "$@"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "launcher.exe: $(stat -c %s "$bin/launcher.exe") bytes"
