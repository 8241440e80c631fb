#!/usr/bin/env bash
# Makes the release bundle of a build tree with CPack, checks that it holds
# exactly the files a vendor needs, unpacks it and starts the launcher from
# the unpacked copy with its sample INI file (a recording target standing in
# for the program), under Wine for the Windows bundle.
#   check_bundle.sh BUILD_DIR RECORDING_TARGET FILE... [-- WINE_RUNNER]
set -uo pipefail
build="$1" recorder="$2"
shift 2
expected=() runner=""
while [ $# -gt 0 ]; do
  if [ "$1" = "--" ]; then runner="$2"; break; fi
  [ -n "$1" ] && expected+=("$1")
  shift
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
archive="$(find "$work/out" -maxdepth 1 \( -name '*.zip' -o -name '*.tar.gz' \))"
[ -n "$archive" ] || fail "no archive"
top="$(basename "$archive" | sed 's/\.zip$//; s/\.tar\.gz$//')"
listed="$(cmake -E tar tf "$archive" | sed 's|/$||' | grep -v "^$top\$" | sort)"
wanted="$(printf "$top/%s\n" "${expected[@]}" | sort)"
[ "$listed" = "$wanted" ] || fail "$(basename "$archive") holds:"$'\n'"$listed"$'\n'"expected:"$'\n'"$wanted"
echo "$(basename "$archive"): ${expected[*]}"

(cd "$work" && cmake -E tar xf "$archive") || fail "unpacking"
copy="$work/$top"
grep -q "Velmora launcher" "$copy/USAGE.txt" && grep -q "Apache License" "$copy/LICENSE" ||
  fail "USAGE.txt or LICENSE is not what it should be"
mkdir -p "$copy/velmora"
if [ -z "$runner" ]; then
  cp "$recorder" "$copy/velmora/velmora"
  RECORD_FILE="$work/record" "$copy/launcher" -clean >/dev/null
  status=$?
  [ "$status" = 42 ] || fail "the unpacked launcher ended with $status"
else
  cp "$recorder" "$copy/velmora/velmora.exe"
  WINEPREFIX="$build/wineprefix" RECORD_FILE="Z:${work//\//\\}\\record" \
    "$runner" "$copy/launcher.exe" -clean >/dev/null 2>&1 || fail "the unpacked launcher failed"
  for _ in $(seq 100); do [ -s "$work/record" ] && break; sleep 0.1; done
fi
# The sample INI's VM arguments reached the program.
grep -q -- "-Xmx512m" "$work/record" || fail "the program did not get the sample's settings"
echo "the unpacked launcher started the program with the sample INI file"
