#!/usr/bin/env bash
# Runs a Windows program of the build tree under Wine: wine-run.sh PROGRAM.exe [ARGS...]
# Uses a Wine prefix of the build tree's own (beside bin/), made on first use
# with the null graphics driver, so that windows and message boxes exist and
# block as on Windows without any display. A persistent wineserver serves the
# whole test run; `wine-run.sh --stop` ends it.
set -euo pipefail

if [ "${1:-}" = "--stop" ]; then
  export WINEPREFIX="${2:?prefix}"
  wineserver -k 2>/dev/null || true
  exit 0
fi

program="$1"
shift
bin_dir="$(cd "$(dirname "$program")" && pwd)"
export WINEPREFIX="${WINEPREFIX:-$(dirname "$bin_dir")/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

if [ ! -f "$WINEPREFIX/.ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.ready" ]; then
      wineboot -i >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
      wineserver -w
      # A persistent server; its output is not ours to capture, since the
      # daemon would hold the pipe open.
      setsid wineserver -p </dev/null >/dev/null 2>&1 &
      # The first program in a fresh server waits for Wine's desktop and
      # services: pay that here, once, not in a test.
      wine cmd /c exit >/dev/null 2>&1 || true
      touch "$WINEPREFIX/.ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec wine "$program" "$@"
