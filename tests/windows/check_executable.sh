#!/usr/bin/env bash
# Checks the shipped launcher.exe: a GUI-subsystem program that imports only
# KERNEL32 and the C runtime (the C++ runtime is linked in; USER32, SHELL32
# and OLE32 are loaded when a message or the Documents folder needs them, so
# that a launch maps no more) and carries its resources: icon
# group 103 with one 32x32 32-bit image, string tables in ten languages, the
# application manifest and the version information.
#   check_executable.sh LAUNCHER.exe OBJDUMP WINDRES ICON.ico VERSION
set -uo pipefail
exe="$1" objdump="$2" windres="$3" icon="$4" version="$5"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

headers="$("$objdump" -p "$exe")"
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a GUI-subsystem program"
imported='^(KERNEL32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\.dll$'
while read -r dll; do
  [[ "$dll" =~ $imported ]] || fail "imports $dll, not only KERNEL32 and the C runtime"
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")

# The launcher's own terminate handler, not the runtime's verbose one, which
# brings in a demangler and a printf (a fifth of the file).
grep -qa 'terminate called after throwing' "$exe" && fail "the runtime's verbose terminate handler"

resources="$("$windres" -i "$exe" -O rc 2>/dev/null)"
expect() { grep -qF -- "$1" <<<"$resources" || fail "no $2"; }
expect '103 14 /* RT_GROUP_ICON */' "icon group 103"
expect '1 24 /* RT_MANIFEST */' "application manifest"
expect 'level=""asInvoker""' "asInvoker execution level"
# Behaviour must not rest on a code page that older Windows ignores.
grep -q '<activeCodePage' <<<"$resources" && fail "an activeCodePage entry"
expect '>PerMonitorV2</dpiAwareness>' "per-monitor-v2 DPI awareness"
expect 'name=""Microsoft.Windows.Common-Controls"" version=""6.0.0.0""' "Common Controls 6"
expect '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' "Windows 10/11 supportedOS"
expect '1 VERSIONINFO' "version information"
expect 'VALUE "ProductName", "Velmora"' "product name"
# Every version the file shows is the project's.
expect "FILEVERSION ${version//./, }, 0" "file version $version"
expect "VALUE \"ProductVersion\", \"$version.0\"" "product version $version"
expect "name=\"\"Velmora.Launcher\"\" version=\"\"$version.0\"\"" "manifest version $version"
[ "$(grep -c '^1 3 /\* RT_ICON \*/' <<<"$resources")" = 1 ] || fail "not exactly one icon image"
# One string table block (ids 0-15, 16-31, 2000-2015) per language and range.
for language in "9, 1" "7, 1" "12, 1" "16, 1" "10, 3" "22, 1" "17, 1" "18, 1" "4, 2" "4, 1"; do
  count="$(grep -A2 "^LANGUAGE $language\$" <<<"$resources" | grep -c "^STRINGTABLE")"
  [ "$count" = 3 ] || fail "language $language has $count string table blocks, not 3"
done

# The icon file: one image, 32x32, 32 bits per pixel.
read -r -a header < <(od -An -tu1 -N22 "$icon")
[ "${header[4]}" = 1 ] || fail "icon holds ${header[4]} images"
[ "${header[6]}/${header[7]}" = 32/32 ] || fail "icon image is ${header[6]}x${header[7]}"
[ "${header[12]}" = 32 ] || fail "icon image has ${header[12]} bits per pixel"

[ "$failures" = 0 ] && echo "launcher.exe: GUI program, imports KERNEL32 and the C runtime only, all resources ($(stat -c %s "$exe") bytes)"
exit $((failures > 0))
