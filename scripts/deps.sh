#!/usr/bin/env bash
# Installs the Debian packages a build needs when they are missing (as root, or through sudo);
# silent when all are there. Usage: scripts/deps.sh run|test LOG
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=progress.sh
source "$(dirname "$0")/progress.sh"

# libqt6svg6 brings the SVG icon engine that draws the program's pictures.
packages=(build-essential cmake ninja-build pkgconf qt6-base-dev qt6-multimedia-dev libqt6svg6 libxcb-keysyms1-dev
          fonts-dejavu-core)
case "${1:-}" in
    run) packages+=(xvfb xauth xdotool imagemagick) ;;
    # llvm-14 brings llvm-symbolizer, so sanitizer reports of the fuzzers name their functions.
    test) packages+=(libbenchmark-dev clang libclang-rt-14-dev llvm-14) ;;
    *) echo "usage: $0 run|test LOG" >&2; exit 2 ;;
esac
log=${2:?"usage: $0 run|test LOG"}

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
    echo "Installing packages needs root: sudo may ask for your password."
fi
install() {
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}
run_step "Installing ${#missing[@]} Debian packages: ${missing[*]}" "$log" install
