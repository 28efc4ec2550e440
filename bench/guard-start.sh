#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the guard adds to the program's start: the time from starting TurnKeeper to its
# window mapped (timed from outside by xwatch), without a lock (the window keeps its own
# turn and looks for no guard), with a lock whose guard answers, and with a lock whose
# guard does not (the window keeps no turn and waits for it), in turn, each run from a
# fresh home folder. The program finds the lock as it would an administrator's, through
# XDG_CONFIG_DIRS; the lock names the guard's bus (--guard-bus), a private one of this
# script's, where the guard runs as the user who runs the bench. Not part of the test
# command.
#
#   BENCH_RUNS [15]  runs of each
set -euo pipefail

RUNS=${BENCH_RUNS:-15}
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BENCH_BUILD:-$SOURCE/build-bench}
WORK=$(mktemp -d /tmp/turnkeeper-guard-start.XXXXXX)

for tool in Xvfb cmake cc dbus-daemon; do
    command -v "$tool" >/dev/null || { echo "bench: $tool is missing" >&2; exit 2; }
done

echo "== building (Release) in $BUILD"
cmake -S "$SOURCE" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >"$WORK/build.log"
cmake --build "$BUILD" --target TurnKeeper turnkeeper-guard turnkeeper-lock >>"$WORK/build.log"
cc -O2 -Wall -o "$BUILD/xwatch" "$SOURCE/bench/xwatch.c" -lX11

pids=()
cleanup() {
    [ ${#pids[@]} -gt 0 ] && kill "${pids[@]}" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 -u 5 display || { echo "bench: Xvfb did not start" >&2; exit 2; }
export DISPLAY=:$display QT_QPA_PLATFORM=xcb

bus() { # prints the address of a new private bus, at a socket a lock can name
    dbus-daemon --session --fork --address="unix:path=$WORK/$1.socket" --print-pid=1 \
        >"$WORK/$1.pid"
    pids+=("$(cat "$WORK/$1.pid")")
    echo "unix:path=$WORK/$1.socket"
}
# lock <folder> <bus>: the administrator's lock in <folder>/TurnKeeper/, for the guard on <bus>.
lock() {
    echo "bench password" | "$BUILD/turnkeeper-lock" --lock-file "$1/TurnKeeper/TurnKeeper.conf" \
        --guard-bus "$2" --length 30 >/dev/null
}
empty_bus=$(bus empty)
guard_bus=$(bus guard)
mkdir -p "$WORK/no-lock"
lock "$WORK/answering" "$guard_bus"
lock "$WORK/silent" "$empty_bus"
DBUS_SYSTEM_BUS_ADDRESS=$guard_bus STATE_DIRECTORY=$WORK/state \
    "$BUILD/turnkeeper-guard" --lock-file "$WORK/answering/TurnKeeper/TurnKeeper.conf" \
    2>"$WORK/guard.log" &
pids+=($!)
sleep 1

# Milliseconds from the start to the window mapped, with the lock of the given folder.
# The system bus of the environment is the guard's in every run: only the lock decides.
start_ms() {
    local home=$WORK/home-$RANDOM
    mkdir -p "$home"
    HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
        XDG_CONFIG_DIRS=$WORK/$1 DBUS_SESSION_BUS_ADDRESS= DBUS_SYSTEM_BUS_ADDRESS=$guard_bus \
        timeout 20 "$BUILD/xwatch" "$BUILD/TurnKeeper" >"$WORK/watch" 2>/dev/null &
    local watch=$!
    for _ in $(seq 200); do
        grep -q '^map ' "$WORK/watch" && break
        sleep 0.05
    done
    kill "$(awk '/^pid/ { print $2 }' "$WORK/watch")" 2>/dev/null || true
    wait "$watch" 2>/dev/null || true
    awk '/^map/ { print $2; exit }' "$WORK/watch"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

start_ms no-lock >/dev/null # the first start reads everything from disk
for _ in $(seq "$RUNS"); do
    start_ms no-lock >>"$WORK/without"
    start_ms answering >>"$WORK/with"
    start_ms silent >>"$WORK/silent.ms"
done
without=$(median <"$WORK/without")
with=$(median <"$WORK/with")
silent=$(median <"$WORK/silent.ms")
echo "== start to window mapped, medians of $RUNS runs"
awk -v a="$without" -v b="$with" -v c="$silent" 'BEGIN {
    printf "no lock                     %7.1f ms\n", a
    printf "the guard answering         %7.1f ms\n", b
    printf "the guard not answering     %7.1f ms\n", c
    printf "ratio, answering / no lock  %7.2f (target <= 1.10: %s)\n", b / a, (b / a <= 1.10) ? "pass" : "falls short"
}'
