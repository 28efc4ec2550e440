# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the project's shell checks: the run-time files, a tally of named checks,
# a private X server with or without a window manager, and a wait for a window.

# The checks read the program's own English texts and drive its English access keys,
# whatever language the machine running them speaks.
export LANG=C.UTF-8
unset LC_ALL LC_MESSAGES LANGUAGE

# The files the program opens by bare name from its working folder.
runtime_files=(face.ico smile.ico frown.ico horn.wav chime.wav)

passed=0
failed=0

# pass <description> / fail <description> [reason]: counts one check.
pass() {
    echo "PASS: $1"
    passed=$((passed + 1))
}
fail() {
    echo "FAIL: $1${2:+ ($2)}"
    failed=$((failed + 1))
}

# check <description> <command...>: runs the command and counts it as passed or failed.
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# verdict <description> <problems>: a check that gathered its problems in one text
# passes when there are none.
verdict() {
    if [ -z "$2" ]; then pass "$1"; else fail "$1" "$2"; fi
}

# summary: prints the closing tally and succeeds when nothing failed.
summary() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# start_xvfb <log file> [screen]: starts Xvfb on a display it picks itself (screen
# 1024x768x24 unless given), exports DISPLAY and sets xvfb_pid once the server answers
# there. The server writes the number of its display to a file beside the log. A server
# that dies or does not answer within 30 s is tried again, three times in all: shared
# machines now and then lose a freshly started server.
start_xvfb() {
    local attempt
    for attempt in 1 2 3; do
        try_xvfb "$@" && return 0
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        echo "Xvfb, attempt $attempt, did not answer" >>"$1.attempts"
    done
    return 1
}
try_xvfb() {
    local display= number_file="$1.display"
    : >"$number_file"
    Xvfb -displayfd 3 -screen 0 "${2:-1024x768x24}" -nolisten tcp 3>"$number_file" >"$1" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 300); do
        display=$(sed -n 's/^\([0-9][0-9]*\)$/\1/p' "$number_file")
        [ -n "$display" ] && timeout 5 xprop -display ":$display" -root >/dev/null 2>&1 && break
        kill -0 "$xvfb_pid" 2>/dev/null || return 1
        display=
        sleep 0.1
    done
    [ -n "$display" ] || return 1
    export DISPLAY=":$display"
}

# start_openbox <log file>: starts openbox on DISPLAY and sets wm_pid; fails when it
# has not taken the screen within 30 s. An openbox that gives up at once is started
# again, three times in all.
start_openbox() {
    local attempt
    for attempt in 1 2 3; do
        openbox --sm-disable >>"$1" 2>&1 &
        wm_pid=$!
        for _ in $(seq 300); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
            kill -0 "$wm_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$wm_pid" 2>/dev/null
        wait "$wm_pid" 2>/dev/null
        sleep 0.5
    done
    return 1
}

# start_pulse <folder>: starts a PulseAudio sound server of its own, with one null sink
# named "turnkeeper" whose monitor can be recorded, its socket and runtime files in
# the folder; exports PULSE_SERVER and sets pulse_pid. Fails when it does not answer
# within 10 s.
start_pulse() {
    mkdir -p "$1/runtime" && chmod 700 "$1/runtime"
    XDG_RUNTIME_DIR="$1/runtime" HOME="$1" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
        --disallow-exit --use-pid-file=no --log-target=stderr \
        -L "module-null-sink sink_name=turnkeeper" \
        -L "module-native-protocol-unix socket=$1/socket auth-anonymous=1" >"$1/pulse.log" 2>&1 &
    pulse_pid=$!
    export PULSE_SERVER="unix:$1/socket"
    for _ in $(seq 100); do
        pactl list short sinks 2>/dev/null | grep -q turnkeeper && return 0
        sleep 0.1
    done
    return 1
}

# loudest <raw file>: the largest magnitude among the signed 16-bit samples recorded.
loudest() {
    od -An -v -td2 -w2 "$1" | awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }'
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

# start_accessibility_bus <folder>: a session bus of its own (dbus-daemon) and, on it,
# at-spi2-core's accessibility bus, as a desktop session starts them for screen
# readers; exports DBUS_SESSION_BUS_ADDRESS and sets a11y_pids to what it started.
# Needs DISPLAY. Fails when the accessibility bus has not answered within 30 s.
start_accessibility_bus() {
    local launcher
    mkdir -p "$1"
    dbus-daemon --session --nofork --print-address=3 3>"$1/session.address" \
        >"$1/session.log" 2>&1 &
    a11y_pids=$!
    for _ in $(seq 300); do
        [ -s "$1/session.address" ] && break
        sleep 0.1
    done
    [ -s "$1/session.address" ] || return 1
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$1/session.address")
    export DBUS_SESSION_BUS_ADDRESS
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$1/launcher.log" 2>&1 &
    launcher=$!
    a11y_pids="$launcher $a11y_pids"
    for _ in $(seq 300); do
        if dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
            org.a11y.Bus.GetAddress 2>/dev/null | grep -q unix; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# stop_accessibility_bus: ends what start_accessibility_bus started, the accessibility
# bus's own daemon and registry first.
stop_accessibility_bus() {
    local pid child grandchild
    for pid in ${a11y_pids:-}; do
        for child in $(pgrep -P "$pid"); do
            for grandchild in $(pgrep -P "$child"); do kill "$grandchild" 2>/dev/null; done
            kill "$child" 2>/dev/null
        done
        kill "$pid" 2>/dev/null
    done
    a11y_pids=
}
