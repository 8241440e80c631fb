#!/usr/bin/env bash
# Installs what building and testing the launcher needs on Debian, when it is
# not there yet: compiler, CMake, Ninja and GoogleTest, and any further
# packages named as arguments.
#   scripts/install-dependencies.sh [PACKAGE...]
set -euo pipefail

packages=(g++ cmake ninja-build libgtest-dev "$@")
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
    || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
