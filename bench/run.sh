#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Footprint benchmark: builds TurnKeeper (Release) and the floor program in bench/floor,
# then measures both on one Xvfb display with no window manager, alternating, each run
# from a fresh home folder, and prints medians, the ratio TurnKeeper/floor and the
# targets. Not part of the test command.
#
# Overrides for a quick try (defaults in brackets):
#   BENCH_RUNS [7]        runs of each program
#   BENCH_SETTLE_S [3]    seconds after the window appears before memory is read
#   BENCH_READY_S [30]    seconds of CPU measured in Ready
#   BENCH_RUNNING_S [30]  seconds of CPU measured while the countdown runs
#   BENCH_TURN_S [30]     length of the measured turns, in ticks
set -euo pipefail

RUNS=${BENCH_RUNS:-7}
SETTLE=${BENCH_SETTLE_S:-3}
READY_S=${BENCH_READY_S:-30}
RUNNING_S=${BENCH_RUNNING_S:-30}
TURN_S=${BENCH_TURN_S:-30}

SOURCE=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$SOURCE/build-bench
WORK=$(mktemp -d /tmp/turnkeeper-bench.XXXXXX)

for tool in Xvfb xdotool cmake cc; do
    command -v "$tool" >/dev/null || { echo "bench: $tool is missing" >&2; exit 2; }
done

echo "== building (Release) in $BUILD"
cmake -S "$SOURCE" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >"$WORK/build.log"
{
    cmake --build "$BUILD" --target TurnKeeper
    cmake -S "$SOURCE/bench/floor" -B "$BUILD/floor" -G Ninja -DCMAKE_BUILD_TYPE=Release
    cmake --build "$BUILD/floor"
} >>"$WORK/build.log"
cc -O2 -Wall -o "$BUILD/xwatch" "$SOURCE/bench/xwatch.c" -lX11
TURNKEEPER=$BUILD/TurnKeeper
FLOOR=$BUILD/floor/Floor
XWATCH=$BUILD/xwatch
# Both programs run from the folder that holds the pictures and the horn.
RUNDIR=$BUILD

XVFB_PID=""
# Ending our Xvfb also ends a program still on it, and its xwatch.
cleanup() {
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
    [ -n "${BENCH_KEEP:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT
trap "exit 130" INT TERM

# A display of our own: Xvfb picks a free number and writes it to the pipe.
exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
read -r -t 10 -u 5 DISPLAY_NUMBER || { echo "bench: Xvfb did not start" >&2; exit 2; }
export DISPLAY=:$DISPLAY_NUMBER
export QT_QPA_PLATFORM=xcb
echo "== display $DISPLAY (Xvfb, no window manager)"
echo "== machine: $(nproc) CPUs, $(grep -m1 '^model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')," \
    "$(awk '/^MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo) memory," \
    "Debian $(cat /etc/debian_version), Qt $(qtpaths6 --qt-version 2>/dev/null || echo '?')"

now() { echo "$EPOCHREALTIME"; }

# Waits until a line matching the pattern appears in the file; prints it.
waitFor() { # file pattern timeout_s
    local deadline line
    deadline=$(awk -v n="$(now)" -v t="$3" 'BEGIN { printf "%.3f", n + t }')
    while :; do
        line=$(grep -a -m1 -E "$2" "$1" 2>/dev/null || true)
        if [ -n "$line" ]; then echo "$line"; return 0; fi
        if awk -v n="$(now)" -v d="$deadline" 'BEGIN { exit !(n > d) }'; then return 1; fi
        sleep 0.01
    done
}

waitForCount() { # file pattern count timeout_s
    local deadline
    deadline=$(awk -v n="$(now)" -v t="$4" 'BEGIN { printf "%.3f", n + t }')
    until [ "$(grep -a -c -E "$2" "$1" 2>/dev/null)" -ge "$3" ]; do
        if awk -v n="$(now)" -v d="$deadline" 'BEGIN { exit !(n > d) }'; then return 1; fi
        sleep 0.05
    done
}

# CPU time (ns) and context switches of each thread of a process: "tid ns switches".
threads() {
    local task
    for task in /proc/"$1"/task/*; do
        echo "${task##*/} $(cut -d' ' -f1 "$task/schedstat" 2>/dev/null)" \
            "$(awk '/^(non)?voluntary_ctxt_switches/ { s += $2 } END { print s + 0 }' \
                "$task/status" 2>/dev/null)"
    done 2>/dev/null | awk 'NF == 3'
}
memoryMb() { # pid field
    awk -v f="$2:" '$1 == f { printf "%.1f", $2 / 1024 }' /proc/"$1"/smaps_rollup
}

# CPU ms and context switches over a window, scaled to per 30 s. Counted per thread:
# a thread that appears meanwhile counts from zero; one that ends (the thread pool
# retires idle threads) takes its counts with it, which only leaves out its last moments.
measureCpu() { # pid seconds -> "ms switches"
    local t0 t1
    threads "$1" >"$WORK/threads.before"; t0=$(now)
    sleep "$2"
    threads "$1" >"$WORK/threads.after"; t1=$(now)
    awk -v t0="$t0" -v t1="$t1" '
        NR == FNR { ns[$1] = $2; sw[$1] = $3; next }
        { c += $2 - ns[$1]; s += $3 - sw[$1] }
        END { k = 30 / (t1 - t0); printf "%.2f %.0f", c / 1e6 * k, s * k }' \
        "$WORK/threads.before" "$WORK/threads.after"
}

# Alt+T opens the Timer menu, Up wraps to its last entry (Start Timer), Return runs it.
startTurn() {
    xdotool key alt+t; sleep 0.3
    xdotool key Up; sleep 0.2
    xdotool key Return
}

# After an alarm, Start is seen from outside as the release of the stay-on-top state;
# a key lost on a busy machine is met by closing the menu and trying again.
startNextTurn() { # events pattern
    local released
    released=$(grep -a -c -E "$2" "$1")
    for _ in 1 2 3; do
        startTurn
        waitForCount "$1" "$2" $((released + 1)) 2 && return 0
        xdotool key Escape; sleep 0.2; xdotool key Escape; sleep 0.3
    done
    return 1
}

# Columns of one run: map_ms rss pss ready_cpu ready_sw run_cpu run_sw turn_err alarm1 alarm2
runOne() { # program kind run
    local program=$1 kind=$2 run=$3 home events errors line pid mapT window watcher
    # The floor's bar fills over the same number of ticks as TurnKeeper's turn.
    local arguments=()
    [ "$kind" = floor ] && arguments=("$TURN_S")
    home=$WORK/home-$kind-$run
    mkdir -m 700 "$home"
    mkdir -p "$home/.config/TurnKeeper"
    printf '[Settings]\nMaxTime=%s\n' "$TURN_S" >"$home/.config/TurnKeeper/TurnKeeper.conf"
    events=$WORK/$kind-$run.events
    errors=$WORK/$kind-$run.stderr
    (cd "$RUNDIR" && exec env HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_RUNTIME_DIR="$home" QT_LOGGING_RULES="turnkeeper.timing.debug=true" \
        "$XWATCH" "$program" "${arguments[@]}" >"$events" 2>"$errors") &
    watcher=$!
    pid=$(waitFor "$events" '^pid ' 10 | cut -d' ' -f2)
    line=$(waitFor "$events" '^map ' 20) || { echo "bench: $kind never mapped" >&2; exit 1; }
    mapT=$(echo "$line" | cut -d' ' -f2)
    window=$(echo "$line" | cut -d' ' -f4)
    # With no window manager, nothing gives the new window the keyboard focus.
    xdotool windowfocus "$window"

    sleep "$SETTLE"
    local rss pss ready running turnErr="-" alarm1="-" alarm2="-"
    rss=$(memoryMb "$pid" Rss); pss=$(memoryMb "$pid" Pss)
    ready=$(measureCpu "$pid" "$READY_S")

    local cpuWindow above="^client [0-9.]+ [0-9.]+ $window _NET_WM_STATE"
    cpuWindow=$(awk -v r="$RUNNING_S" -v t="$TURN_S" 'BEGIN { w = t - 2; print (r < w ? r : w) }')
    if [ "$kind" = turnkeeper ]; then
        # First turn: CPU while it runs, then its alarm (the first of the run).
        startTurn
        sleep 0.5
        running=$(measureCpu "$pid" "$cpuWindow")
        waitFor "$events" "$above 1 _NET_WM_STATE_ABOVE" $((TURN_S + 10)) >/dev/null ||
            { echo "bench: no alarm in run $run" >&2; exit 1; }
        sleep 1
        # Second turn, timed from outside: Start releases the stay-on-top state, the
        # alarm sets it again; both are requests the program sends to the root window.
        startNextTurn "$events" "$above 0 _NET_WM_STATE_ABOVE" ||
            { echo "bench: the second turn did not start in run $run" >&2; exit 1; }
        waitForCount "$events" "$above 1 _NET_WM_STATE_ABOVE" 2 $((TURN_S + 10)) ||
            { echo "bench: no second alarm in run $run" >&2; exit 1; }
        line=$(grep -a -E "$above (0|1) _NET_WM_STATE_ABOVE" "$events" | tail -n 2 |
            awk '{ print $2 }' | paste -sd' ')
        turnErr=$(echo "$line" | awk -v t="$TURN_S" '{ printf "%.2f", $2 - $1 - t * 1000 }')
        alarm1=$(grep -m1 'alarm steps took' "$errors" | sed -E 's/.*took ([0-9.]+) ms.*/\1/')
        alarm2=$(grep 'alarm steps took' "$errors" | sed -n 2p | sed -E 's/.*took ([0-9.]+) ms.*/\1/')
    else
        sleep 0.5
        running=$(measureCpu "$pid" "$cpuWindow")
    fi
    kill -TERM "$pid" 2>/dev/null || true
    wait "$watcher" 2>/dev/null || true
    echo "$mapT $rss $pss $ready $running $turnErr ${alarm1:--} ${alarm2:--}"
}

echo "== $RUNS runs each; Ready ${READY_S} s, running ${RUNNING_S} s (at most turn - 2 s), turns of $TURN_S ticks"
for run in $(seq 1 "$RUNS"); do
    for kind in turnkeeper floor; do
        if [ "$kind" = turnkeeper ]; then program=$TURNKEEPER; else program=$FLOOR; fi
        result=$(runOne "$program" "$kind" "$run")
        echo "$result" >>"$WORK/$kind.results"
        printf '   run %d %-10s %s\n' "$run" "$kind" "$result"
    done
done

# Median of one column of a results file (non-numbers skipped).
median() { # file column
    awk -v c="$2" '$c ~ /^-?[0-9.]+$/ { print $c }' "$1" | sort -g |
        awk '{ v[NR] = $1 } END { if (!NR) { print "-"; exit }
            if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
maxAbs() {
    awk -v c="$2" '$c ~ /^-?[0-9.]+$/ { a = $c < 0 ? -$c : $c; if (a > m) m = a } END { print m + 0 }' "$1"
}

TK=$WORK/turnkeeper.results
FL=$WORK/floor.results
verdict() { if awk "BEGIN { exit !($1) }"; then echo pass; else echo "falls short"; fi; }
row() { # label column
    local t f
    t=$(median "$TK" "$2"); f=$(median "$FL" "$2")
    printf '%-34s %10s %10s %8s\n' "$1" "$t" "$f" "$(awk -v t="$t" -v f="$f" 'BEGIN { if (f > 0) printf "%.2f", t / f; else print "-" }')"
}

echo
echo "== medians over $RUNS runs"
printf '%-34s %10s %10s %8s\n' "" TurnKeeper floor ratio
row "start to window mapped (ms)" 1
row "resident memory (MB)" 2
row "proportional memory (MB)" 3
row "CPU in Ready (ms per 30 s)" 4
row "context switches in Ready (per 30 s)" 5
row "CPU running (ms per 30 s)" 6
row "context switches running (per 30 s)" 7
printf '%-34s %10s   (largest %s)\n' "turn of $TURN_S ticks, error (ms)" "$(median "$TK" 8)" "$(maxAbs "$TK" 8)"
printf '%-34s %10s   (largest %s)\n' "first alarm's steps (ms)" "$(median "$TK" 9)" "$(maxAbs "$TK" 9)"
printf '%-34s %10s   (largest %s)\n' "later alarm's steps (ms)" "$(median "$TK" 10)" "$(maxAbs "$TK" 10)"

echo
echo "== targets"
startT=$(median "$TK" 1); startF=$(median "$FL" 1)
printf '%-58s %s\n' "start <= 1.25 x floor ($startT vs $(awk -v f="$startF" 'BEGIN { printf "%.1f", 1.25 * f }') ms)" \
    "$(verdict "$startT <= 1.25 * $startF")"
for column in 2 3; do
    t=$(median "$TK" $column); f=$(median "$FL" $column)
    name=$([ $column = 2 ] && echo resident || echo proportional)
    printf '%-58s %s\n' "$name memory <= floor + 10 MB ($t vs $(awk -v f="$f" 'BEGIN { print f + 10 }') MB)" \
        "$(verdict "$t <= $f + 10")"
done
runT=$(median "$TK" 6); runF=$(median "$FL" 6)
perMinute=$(awk -v t="$runT" 'BEGIN { printf "%.2f", t * 2 }')
printf '%-58s %s\n' "CPU running <= 1.5 x floor ($runT vs $(awk -v f="$runF" 'BEGIN { printf "%.2f", 1.5 * f }') ms/30 s)" \
    "$(verdict "$runT <= 1.5 * $runF")"
printf '%-58s %s\n' "CPU running below 5 ms per minute ($perMinute ms)" "$(verdict "$perMinute < 5")"
err=$(median "$TK" 8)
printf '%-58s %s\n' "turn error <= 20 ms over $TURN_S ticks (median $err, largest $(maxAbs "$TK" 8))" \
    "$(verdict "$(maxAbs "$TK" 8) <= 20")"
printf '%-58s %s\n' "alarm steps <= 50 ms, first alarm ($(median "$TK" 9), largest $(maxAbs "$TK" 9))" \
    "$(verdict "$(maxAbs "$TK" 9) <= 50")"
printf '%-58s %s\n' "alarm steps <= 50 ms, later alarm ($(median "$TK" 10), largest $(maxAbs "$TK" 10))" \
    "$(verdict "$(maxAbs "$TK" 10) <= 50")"
