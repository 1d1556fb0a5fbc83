# shellcheck shell=bash
# Shared by the set-up scripts (sourced, not run): one status line per step with the time it took,
# the long steps' progress lines as they come, and the log's path when a step fails.

# elapsed SECONDS: "42 s" or "3 min 05 s".
elapsed() {
    if (($1 >= 60)); then printf '%d min %02d s' $(($1 / 60)) $(($1 % 60)); else printf '%d s' "$1"; fi
}

# Passes on the progress lines of apt-get and ninja from standard input: in a terminal on one line
# that is rewritten in place, otherwise one line every ten seconds, so a log stays short.
show_progress() {
    local line last=-10 tty=0 width=100
    if [[ -t 1 ]]; then
        tty=1
        width=$(($(tput cols 2>/dev/null || echo 100) - 5))
    fi
    while IFS= read -r line; do
        [[ $line =~ ^(\[[0-9]+/[0-9]+\]|Get:[0-9]|Unpacking |Setting up ) ]] || continue
        if ((tty)); then
            printf '\r\033[K    %s' "${line:0:width}"
        elif ((SECONDS - last >= 10)); then
            printf '    %s\n' "${line:0:width}"
            last=$SECONDS
        fi
    done
    if ((tty)); then printf '\r\033[K'; fi
}

# run_step TITLE LOG COMMAND...: runs the command with all its output going to LOG and its progress
# shown, then prints how long it took. On failure it shows the end of the log and names the log.
run_step() {
    local title=$1 log=$2 start=$SECONDS status=0
    shift 2
    echo "==> $title (log: $log)"
    { "$@" 2>&1 | tee "$log" | show_progress; } || status=$?
    if ((status != 0)); then
        grep -v -E '^\[[0-9]+/[0-9]+\] ' "$log" | tail -n 40 >&2
        echo "FAILED after $(elapsed $((SECONDS - start))): $title. The whole output is in $log" >&2
        return "$status"
    fi
    echo "    done in $(elapsed $((SECONDS - start)))"
}
