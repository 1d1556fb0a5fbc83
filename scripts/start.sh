#!/usr/bin/env bash
# Builds Tarnwick PRO and starts it. Without a display it starts the program on a virtual
# display, saves a screenshot of its first window, prints the screenshot's path and ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-release"

"$root/scripts/deps.sh" run
mkdir -p "$build"
if ! { cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWICK_BENCH=OFF &&
       cmake --build "$build" --target tarnwick -j "$(nproc)"; } >"$build/build.log" 2>&1; then
    grep -v '^\[' "$build/build.log" | tail -n 60 >&2
    echo "Build failed" >&2
    exit 1
fi
program="$build/tarnwick"

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
    exec "$program"
fi

shot="$build/screenshot.png"
echo "No display found: starting Tarnwick PRO on a virtual display to take a screenshot."
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
    "$1" &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "Tarnwick PRO" | head -n 1)
    sleep 1
    if [[ -n "$window" ]]; then import -window "$window" "$2"; else import -window root "$2"; fi
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
' _ "$program" "$shot"
echo "Screenshot of the first window: $shot"
