#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the built program on a real X server, waits for its window, ends the session
# with SIGTERM and checks that the length was saved and the exit status is 0; then the
# same for a renamed copy, which must keep settings of its own; then a time's up heard
# at a sound server of the test's own.
set -u
program=${1:?usage: smoke_x11.sh <path to TurnKeeper>}
program=$(readlink -f "$program")
source "$(dirname "$0")/../scripts/checks.sh"

work=$(mktemp -d)
xvfb_pid=
wm_pid=
pulse_pid=
cleanup() {
    [ -n "${record_pid:-}" ] && kill "$record_pid" 2>/dev/null
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

if ! start_xvfb "$work/xvfb.log"; then
    echo "FAIL: Xvfb did not start"
    cat "$work/xvfb.log"
    exit 1
fi

# run_and_end <executable> <window title>: starts the program from its own folder,
# waits up to 10 s for its window to be mapped, sends SIGTERM and prints the exit status.
run_and_end() {
    local executable=$1 title=$2 pid status window
    (cd "$(dirname "$executable")" && exec env QT_QPA_PLATFORM=xcb "$executable") \
        >"$work/program.log" 2>&1 &
    pid=$!
    window=$(wait_for_window "$title")
    if [ -z "$window" ]; then
        echo "no window titled $title appeared" >&2
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        echo 255
        return
    fi
    kill -TERM "$pid"
    wait "$pid"
    status=$?
    echo "$status"
}

export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config"
mkdir -p "$HOME"

status=$(run_and_end "$program" TurnKeeper)
check "TurnKeeper maps its window and ends with 0 on SIGTERM (got $status)" [ "$status" = 0 ]
check "the length is saved at the session's end" \
    grep -qx 'MaxTime=600' "$XDG_CONFIG_HOME/TurnKeeper/TurnKeeper.conf"

# A renamed copy has its own settings. Lengths stored with a fraction come back whole
# only from the file that the program really saved.
copy="$work/renamed/RenamedTimer"
mkdir -p "$(dirname "$copy")"
cp "$program" "$copy"
mkdir -p "$XDG_CONFIG_HOME/RenamedTimer"
printf '[Settings]\nMaxTime=90.4\n' >"$XDG_CONFIG_HOME/RenamedTimer/RenamedTimer.conf"
printf '[Settings]\nMaxTime=120.4\n' >"$XDG_CONFIG_HOME/TurnKeeper/TurnKeeper.conf"
status=$(run_and_end "$copy" TurnKeeper)
check "a renamed copy ends with 0 (got $status)" [ "$status" = 0 ]
check "the renamed copy saves in its own settings" \
    grep -qx 'MaxTime=90' "$XDG_CONFIG_HOME/RenamedTimer/RenamedTimer.conf"
check "the original's settings are untouched by the copy" \
    grep -qx 'MaxTime=120.4' "$XDG_CONFIG_HOME/TurnKeeper/TurnKeeper.conf"

# A time's up is heard: with a sound server of the test's own, recording its sink, the
# program runs a one-second turn from a folder that holds none of its files but a
# horn.wav that is no sound at all, so the horn built into it plays in its place.
if start_pulse "$work/pulse" && start_openbox "$work/openbox.log"; then
    parec -d turnkeeper.monitor --raw --format=s16le --rate=44100 --channels=1 \
        >"$work/heard.raw" 2>"$work/parec.log" &
    record_pid=$!
    printf '[Settings]\nMaxTime=1\n' >"$XDG_CONFIG_HOME/TurnKeeper/TurnKeeper.conf"
    mkdir -p "$work/elsewhere"
    echo "not a sound" >"$work/elsewhere/horn.wav"
    (cd "$work/elsewhere" && exec env QT_QPA_PLATFORM=xcb "$program") >"$work/horn.log" 2>&1 &
    pid=$!
    window=$(wait_for_window TurnKeeper)
    heard=0
    if [ -n "$window" ]; then
        xdotool windowactivate --sync "$window" key --delay 50 alt+t Up Return 2>/dev/null
        # Until the horn is heard, as long as a busy machine needs.
        for _ in $(seq 300); do
            sleep 0.1
            heard=$(loudest "$work/heard.raw")
            [ "$heard" -gt 1000 ] && break
        done
    fi
    kill -TERM "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    check "a time's up sounds the built-in horn at the sound server (loudest sample $heard)" \
        [ "$heard" -gt 1000 ]
else
    check "a sound server of the test's own starts" false
    cat "$work/pulse/pulse.log"
fi

summary
