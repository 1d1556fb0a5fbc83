#!/usr/bin/env bash
# Installs the Debian packages a build needs when they are missing; silent when all are there.
# Usage: scripts/deps.sh run|test
set -euo pipefail

packages=(build-essential cmake ninja-build pkgconf qt6-base-dev qt6-multimedia-dev libxcb-keysyms1-dev
          fonts-dejavu-core)
case "${1:-run}" in
    run) packages+=(xvfb xauth xdotool imagemagick) ;;
    test) packages+=(libbenchmark-dev clang libclang-rt-14-dev) ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "Run as root or install sudo: missing ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
