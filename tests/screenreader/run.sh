#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program as a screen reader meets it: a private X server with a window manager, a
# session bus with at-spi2-core's accessibility bus on it, and the checks of
# screen_reader.py (Debian's own Python, which has pyatspi) talking to the program through AT-SPI, as Orca does.
set -u
program=${1:?usage: run.sh <path to TurnKeeper>}
program=$(readlink -f "$program")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/checks.sh"

work=$(mktemp -d)
xvfb_pid=
wm_pid=
cleanup() {
    stop_accessibility_bus
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb "$work/xvfb.log" || { echo "FAIL: Xvfb did not start"; exit 1; }
start_openbox "$work/openbox.log" || { echo "FAIL: openbox did not start"; exit 1; }
if ! start_accessibility_bus "$work/bus"; then
    echo "FAIL: the accessibility bus did not start"
    cat "$work/bus/"*.log
    exit 1
fi
export HOME="$work/home"
mkdir -p "$HOME"
/usr/bin/python3 "$here/screen_reader.py" "$program" "$work" "${@:2}"
