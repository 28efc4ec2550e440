#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's pictures of the program, in English, from the built program on a
# virtual X server with openbox:
#
#   scripts/screenshots.sh <path to TurnKeeper> [<folder>]
#
# ready.png, running.png (Ann's turn on the bar) and timesup.png show the main window,
# turns.png the Turns window with the two turns taken meanwhile. Each is the window
# as the program draws it, without the window manager's frame. The folder is
# docs/screenshots unless given.
set -u
program=$(readlink -f "${1:?usage: screenshots.sh <path to TurnKeeper> [<folder>]}")
source_dir=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${2:-$source_dir/docs/screenshots}" && cd "${2:-$source_dir/docs/screenshots}" && pwd)
source "$source_dir/scripts/checks.sh"

work=$(mktemp -d)
xvfb_pid=
wm_pid=
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

die() {
    echo "screenshots.sh: $*" >&2
    exit 1
}

start_xvfb "$work/xvfb.log" || die "Xvfb did not start"
start_openbox "$work/openbox.log" || die "openbox did not start"

export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
settings="$XDG_CONFIG_HOME/TurnKeeper/TurnKeeper.conf"
mkdir -p "$(dirname "$settings")" "$XDG_DATA_HOME"

# settings <length in seconds>: three children, Ann first.
settings() {
    printf '[Settings]\nMaxTime=%s\nPassword=playfairly\n\n[Children]\nNames=Ann, Ben, Cy\nNext=%s\n' \
        "$1" "$2" >"$settings"
}

# start: the program from its build folder, as a parent would start it; sets
# program_pid and window, the main window's id.
start() {
    (cd "$(dirname "$program")" && exec env QT_QPA_PLATFORM=xcb "$program") \
        >>"$work/program.log" 2>&1 &
    program_pid=$!
    window=$(wait_for_window TurnKeeper)
    [ -n "$window" ] || die "no main window: $(cat "$work/program.log")"
}

# stop: SIGTERM, which ends the session's program as a logout does.
stop() {
    kill -TERM "$program_pid"
    wait "$program_pid"
    program_pid=
}

# shoot <window> <file>: once the window has settled.
shoot() {
    sleep 1
    import -window "$1" "$out/$2" || die "import $2"
    echo "$out/$2"
}

# keys <window> <keys...>: typed into the window, made active first.
keys() {
    local window=$1
    shift
    xdotool windowactivate --sync "$window" key --delay 80 "$@" 2>/dev/null
}

# A turn of ten minutes for Ann: Ready, then running.
settings 600 Ann
start
shoot "$window" ready.png
keys "$window" alt+t Up Return
sleep 2
shoot "$window" running.png
# Stopped by a parent, so the record has a turn that ended.
keys "$window" alt+t Up Return
prompt=$(wait_for_window "TurnKeeper Security")
[ -n "$prompt" ] || die "no password prompt"
xdotool type --window "$prompt" --delay 30 playfairly
keys "$prompt" Return
sleep 1
stop

# A turn of three seconds for Ben, up to its time's up; then the record of turns.
settings 3 Ben
start
keys "$window" alt+t Up Return
sleep 5
shoot "$window" timesup.png
keys "$window" alt+r u
turns=$(wait_for_window Turns)
[ -n "$turns" ] || die "no Turns window"
shoot "$turns" turns.png
keys "$turns" Escape
stop
