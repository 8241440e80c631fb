#!/usr/bin/env bash
# Checks the console companion beside the launcher: the launcher belongs to
# the GUI subsystem, the companion to the console subsystem, and the
# companion carries the launcher's resources, but for its own internal and
# original file names.
#   check_companion.sh LAUNCHER.exe COMPANION.exe OBJDUMP WINDRES
set -uo pipefail
launcher="$1" companion="$2" objdump="$3" windres="$4"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

grep -q 'Subsystem.*(Windows GUI)' <<<"$("$objdump" -p "$launcher")" ||
  fail "launcher: not a GUI program"
grep -q 'Subsystem.*(Windows CUI)' <<<"$("$objdump" -p "$companion")" ||
  fail "companion: not a console program"

names() { grep -E 'VALUE "(InternalName|OriginalFilename)"' <<<"$1"; }
own="$("$windres" -i "$launcher" -O rc 2>/dev/null)"
theirs="$("$windres" -i "$companion" -O rc 2>/dev/null)"
[ -n "$own" ] || fail "launcher: no resources"
diff <(grep -vE 'VALUE "(InternalName|OriginalFilename)"' <<<"$own") \
     <(grep -vE 'VALUE "(InternalName|OriginalFilename)"' <<<"$theirs") >/dev/null ||
  fail "companion: resources differ from the launcher's"
[ "$(names "$theirs")" = "$(names "$own" | sed 's/"launcher/"launcher-console/')" ] ||
  fail "companion: file names $(names "$theirs" | tr -s ' \n' ' ')"

[ "$failures" = 0 ] && echo "launcher GUI, companion console, same resources"
exit $((failures > 0))
