#!/usr/bin/env bash
# Builds Tarnwick PRO and starts it. Without a display it shows the program with the example data
# set on a virtual display, in a throwaway home folder, saves a screenshot of the main window and ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-release"
# shellcheck source-path=SCRIPTDIR source=progress.sh
source "$root/scripts/progress.sh"

mkdir -p "$build"
"$root/scripts/deps.sh" run "$build/deps.log"
build_program() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWICK_BENCH=OFF &&
        cmake --build "$build" --target tarnwick -j "$(nproc)"
}
run_step "Building Tarnwick PRO" "$build/build.log" build_program
program="$build/tarnwick"

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
    exec "$program"
fi

# The example data set keeps its dates around 6 December 2026 (day 46362); the copy moves them by
# whole days so that its tasks are due around today and none of its alarms is already due.
example_day=46362
copy_example() {
    local to=$1 days
    days=$(($(date -u -d "$(date +%F)" +%s) / 86400 + 25569 - example_day))
    mkdir -p "$to"
    cp "$root"/resources/example/{special,projects,assignees}.twk "$to/"
    # Day-count numbers: whole days, then the time of day as a fraction after the point.
    local move='function move(v,  p) {
            if (v !~ /^[0-9]+(\.[0-9]+)?$/ || v == "100000") return v
            p = index(v, "."); return p ? (substr(v, 1, p - 1) + days) substr(v, p) : v + days }'
    awk -v days="$days" 'BEGIN { FS = OFS = "\t" } '"$move"' FNR > 1 { $3 = move($3) } 1' \
        "$root/resources/example/tasks.twk" >"$to/tasks.twk"
    awk -v days="$days" 'BEGIN { FS = OFS = "\t" } '"$move"' FNR > 2 { $2 = move($2); $5 = move($5) } 1' \
        "$root/resources/example/tasklog.twk" >"$to/tasklog.twk"
    awk -v days="$days" 'BEGIN { FS = OFS = "\t" } {
            cmd = "date -d \"" $1 "-" $2 "-" $3 " " days " days\" +%Y.%-m.%-d"
            cmd | getline date; close(cmd); split(date, ymd, ".")
            $1 = ymd[1]; $2 = ymd[2]; $3 = ymd[3] } 1' \
        "$root/resources/example/diary.twk" >"$to/diary.twk"
}

echo "==> No display found: showing Tarnwick PRO with the example data set on a virtual display"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home/home" XDG_CONFIG_HOME="$home/home/.config" XDG_DATA_HOME="$home/home/.local/share"
export XDG_CACHE_HOME="$home/home/.cache" XDG_RUNTIME_DIR="$home/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
copy_example "$XDG_DATA_HOME/Oskavel/Tarnwick PRO"
# A roomy window with the month calendar page, as in the README's screenshot.
mkdir -p "$XDG_CONFIG_HOME/Oskavel/Tarnwick PRO"
printf '[Size]\nHeight=680\nWidth=960\nMemoHeight=190\n[Other]\nCalendar=2\n' \
    >"$XDG_CONFIG_HOME/Oskavel/Tarnwick PRO/tarnwick.ini"

shot="$build/screenshot.png"
rm -f "$shot"
# shellcheck disable=SC2016 # the inner script expands its own arguments
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
    "$1" &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name " - Tarnwick PRO$" | head -n 1)
    sleep 2
    if [[ -n "$window" ]]; then import -window "$window" "$2"; else import -window root "$2"; fi
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
' _ "$program" "$shot"
[[ -f "$shot" ]] || { echo "No screenshot was taken" >&2; exit 1; }
echo "Screenshot of the main window: $shot"
