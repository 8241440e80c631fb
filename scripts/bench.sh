#!/usr/bin/env bash
# Builds the benchmarks (CMake preset "bench") and prints the start-up table:
# the launcher's chain against the floor's and the sh peer's, each ending in
# the same no-op target, and how the launcher's cost grows with the INI's
# lines and the arguments. Not part of the tests: times are never asserted.
#   scripts/bench.sh [--core] [--rounds N] [--quick] [--only typical|lines|arguments]
#                    [--compare LAUNCHER]
#   scripts/bench.sh --windows [--rounds N] [--floor execv|createprocess]
#                              [--sleeping-target]
# --core also runs the Google Benchmark suite of the core's stages; the other
# options go to the process benchmark (docs/performance.md). --compare times
# another build of the launcher in the same rounds of the typical run.
# --windows runs the Windows launcher's process benchmark under Wine instead
# (bench/windows/run_bench.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1-}" = "--windows" ]; then
  shift
  exec bench/windows/run_bench.sh "$@"
fi

core=no
if [ "${1-}" = "--core" ]; then
  core=yes
  shift
fi

scripts/install-dependencies.sh libbenchmark-dev >&2
cmake --preset bench >&2
cmake --build --preset bench >&2

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), kernel $(uname -r)"
build/bench/bin/process_bench build/bench/bin bench/process/sh_peer.sh "$@"
if [ "$core" = yes ]; then
  echo
  build/bench/bin/core_benchmarks
fi
