#!/usr/bin/env bash
# Runs a Windows program of the build tree under Wine: wine-run.sh PROGRAM.exe [ARGS...]
# Uses a Wine prefix of the build tree's own (beside bin/), made on first use
# with the null graphics driver, so that windows and message boxes exist and
# block as on Windows without any display. A persistent wineserver serves the
# whole test run; `wine-run.sh --stop PREFIX` ends it.
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

mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.ready" ]; then
    wineboot -i >/dev/null 2>&1 9>&-
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 9>&-
    wineserver -w 9>&-
    touch "$WINEPREFIX/.ready"
  fi
  # One server for the whole run, kept for two idle minutes after it. It
  # goes to the background at once; its output is not ours to capture, as
  # the daemon would hold the pipe open. When it is new, the first program
  # waits for Wine's desktop and services: pay that here, not in a test.
  # (Nothing started here may keep the lock's descriptor.)
  if wineserver -p120 </dev/null >/dev/null 2>&1 9>&-; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
  # A program that crashes ends at once, its backtrace on its standard error:
  # no crash dialog that nobody can answer holds the test run. (Set in the
  # running server, which keeps it in the prefix.)
  if [ ! -f "$WINEPREFIX/.no-crash-dialog" ]; then
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1 9>&- && touch "$WINEPREFIX/.no-crash-dialog"
  fi
) 9>"$WINEPREFIX.lock"

exec wine "$program" "$@"
