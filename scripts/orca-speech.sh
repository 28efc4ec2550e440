#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the Orca screen reader says while a person uses the program: on a private X
# server with openbox, a session bus and at-spi2-core's accessibility bus, Orca runs
# with its debug log and the program runs a five-second turn for two children (Ann,
# Ben), first with its own window in front, then with another program's; then the
# password prompt is typed into, Set Time's arrows are pressed, and the About and
# Security windows are opened. Prints, step by step, the SPEECH OUTPUT lines of Orca's
# log. Not a test: it needs Orca (apt-get install orca) and speaks nothing aloud.
# Usage: scripts/orca-speech.sh [path to TurnKeeper, build/TurnKeeper by default]
# With ORCA_LOG=<file>, Orca's whole debug log is kept there.
set -u
program=$(readlink -f "${1:-build/TurnKeeper}")
source "$(dirname "$0")/checks.sh"
command -v orca >/dev/null || { echo "Orca is not installed (apt-get install orca)" >&2; exit 1; }
[ -x "$program" ] || { echo "no program at $program" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
wm_pid=
orca_pid=
program_pid=
other_pid=
chooser_pids=
cleanup() {
    [ -n "${ORCA_LOG:-}" ] && cp "$work/orca.log" "$ORCA_LOG"
    for pid in $chooser_pids $other_pid $program_pid $orca_pid; do kill "$pid" 2>/dev/null; done
    stop_accessibility_bus
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb "$work/xvfb.log" || { echo "Xvfb did not start" >&2; exit 1; }
start_openbox "$work/openbox.log" || { echo "openbox did not start" >&2; exit 1; }
start_accessibility_bus "$work/bus" || { echo "the accessibility bus did not start" >&2; exit 1; }
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.data"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME/TurnKeeper" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\nMaxTime=5\n[Children]\nNames=Ann, Ben\nNext=Ann\n' \
    >"$XDG_CONFIG_HOME/TurnKeeper/TurnKeeper.conf"

log="$work/orca.log"
orca --replace --user-prefs "$work/orca" --debug-file "$log" >"$work/orca.out" 2>&1 &
orca_pid=$!
for _ in $(seq 300); do
    grep -q "SPEECH OUTPUT" "$log" 2>/dev/null && break
    sleep 0.1
done

# step <title>: the speech from here on belongs to that step.
marks=()
step() {
    marks+=("$(wc -l <"$log"):$1")
}
# choose <menu entry>: chooses it as a screen reader user may, through its AT-SPI action,
# in the background: the call returns only once a window it opens has closed.
cat >"$work/choose.py" <<'PYTHON'
import sys
import pyatspi
desktop = pyatspi.Registry.getDesktop(0)
app = next(a for a in desktop if a is not None and a.name == "TurnKeeper")
entry = pyatspi.findDescendant(
    app, lambda n: n is not None and n.getRole() == pyatspi.ROLE_MENU_ITEM and n.name == sys.argv[1])
entry.queryAction().doAction(0)
PYTHON
choose() {
    timeout 120 /usr/bin/python3 "$work/choose.py" "$1" >/dev/null 2>&1 &
    chooser_pids="$chooser_pids $!"
    sleep 3
}
key() {
    local name
    for name in "$@"; do
        xdotool key --clearmodifiers "$name"
        sleep 2
    done
}

(cd "$(dirname "$program")" && exec env QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    "$program") >"$work/program.log" 2>&1 &
program_pid=$!
window=$(wait_for_window TurnKeeper)
[ -n "$window" ] || { echo "the program's window did not appear" >&2; exit 1; }
xdotool windowactivate --sync "$window"

step "The program starts"
sleep 3
step "Start Timer, the program's window in front"
choose "Start Timer"
step "The five-second turn ends"
sleep 10
step "Start Timer, then another program's window comes in front"
choose "Start Timer"
xmessage -name other "another program" >/dev/null 2>&1 &
other_pid=$!
other=$(wait_for_window other)
[ -n "$other" ] && xdotool windowactivate --sync "$other"
step "The turn ends while the other program has the focus"
sleep 10
kill "$other_pid" 2>/dev/null
other_pid=
xdotool windowactivate --sync "$window"
sleep 2
step "Security: the password prompt, \"secret\" typed, Escape"
choose Security
xdotool type --delay 150 secret
key Escape
step "Set Time: the prompt, the password, the refusal of a length under a minute, OK"
choose "Set Time"
xdotool type --delay 50 playfairly
key Return Return
step "Set Time: Up, Up, Down"
key Up Up Down
step "Set Time cancelled (Tab, Tab, Tab, Return); About"
key Tab Tab Tab Return
choose About
step "About closed; Security: the prompt, the password; Tab, Tab"
key Return
choose Security
xdotool type --delay 50 playfairly
key Return
sleep 2
key Tab Tab
sleep 3
step "the end"

# Each SPEECH OUTPUT line of the log, a text of several lines joined with " / ".
previous=0
title="Orca starts"
for mark in "${marks[@]}"; do
    line=${mark%%:*}
    echo "== $title"
    awk -v from="$previous" -v to="$line" '
        NR <= from || NR > to { next }
        spoken != "" { sub(/^ +/, ""); spoken = spoken " / " $0 }
        spoken == "" && (at = index($0, "SPEECH OUTPUT: ")) { spoken = substr($0, at + 15) }
        spoken ~ /established/ {
            sub(/ ?\[?\{.established.*$/, "", spoken)
            print "    " spoken
            spoken = ""
        }' "$log"
    previous=$line
    title=${mark#*:}
done
