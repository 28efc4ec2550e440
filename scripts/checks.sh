# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the project's shell checks: a tally of named checks, a private X server
# and a wait for the program's window.

passed=0
failed=0

# check <description> <command...>: runs the command and counts it as passed or failed.
check() {
    local what=$1
    shift
    if "$@"; then
        echo "PASS: $what"
        passed=$((passed + 1))
    else
        echo "FAIL: $what"
        failed=$((failed + 1))
    fi
}

# summary: prints the closing tally and succeeds when nothing failed.
summary() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# start_xvfb <log file>: starts Xvfb on a display it picks itself, exports DISPLAY and
# sets xvfb_pid; fails when no server came up within 10 s. The server writes the number
# of its display to a file beside the log.
start_xvfb() {
    local display= number_file="$1.display"
    : >"$number_file"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >"$1" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        display=$(head -n 1 "$number_file")
        [ -n "$display" ] && break
        sleep 0.1
    done
    [ -n "$display" ] || return 1
    export DISPLAY=":$display"
}

# wait_for_window <title>: prints the id of the first visible window with exactly that
# title, polling for up to 10 s; prints nothing when none appeared.
wait_for_window() {
    local window=
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    echo "$window"
}
