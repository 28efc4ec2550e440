#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Footprint benchmark: builds TurnKeeper (Release) and the floor program in bench/floor,
# then measures both on one Xvfb display with no window manager, alternating, each run
# from a fresh home folder, and prints medians, the ratio TurnKeeper/floor and the
# targets. A PulseAudio server of the bench's own, with a null sink whose monitor is
# recorded, hears the horn. Not part of the test command.
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

for tool in Xvfb xdotool cmake cc pulseaudio pactl parec; do
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
cc -O2 -Wall -o "$BUILD/hear" "$SOURCE/bench/hear.c"
TURNKEEPER=$BUILD/TurnKeeper
FLOOR=$BUILD/floor/Floor
XWATCH=$BUILD/xwatch
HEAR=$BUILD/hear
# Both programs run from the folder that holds the pictures and the horn.
RUNDIR=$BUILD

XVFB_PID=""
pulse_pid=""
LISTENER_PID=""
BUSY_PIDS=()
# Ending our Xvfb also ends a program still on it, and its xwatch.
cleanup() {
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
    if [ -n "$LISTENER_PID" ]; then kill "$LISTENER_PID" 2>/dev/null || true; fi
    if [ -n "$pulse_pid" ]; then kill "$pulse_pid" 2>/dev/null || true; fi
    if [ ${#BUSY_PIDS[@]} -gt 0 ]; then kill "${BUSY_PIDS[@]}" 2>/dev/null || true; fi
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

# A sound server of the bench's own: PULSE_SERVER leads both programs to it. What its
# null sink plays is recorded from the start, and hear notes when each sound begins
# (a sample above -40 dBFS after 300 ms below).
source "$SOURCE/scripts/checks.sh"
start_pulse "$WORK/pulse" || { echo "bench: PulseAudio did not start" >&2; exit 2; }
parec -d turnkeeper.monitor --raw --format=s16le --rate=44100 --channels=1 --latency-msec=5 \
    2>"$WORK/parec.log" | "$HEAR" 44100 328 300 >"$WORK/heard" &
LISTENER_PID=$!
echo "== sound: PulseAudio $(pulseaudio --version | awk '{ print $2 }'), null sink, monitor recorded"

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

# One busy loop per CPU, for a turn on a loaded machine.
startBusy() {
    local cpu
    for cpu in $(seq "$(nproc)"); do
        (while :; do :; done) >/dev/null 2>&1 &
        BUSY_PIDS+=($!)
    done
}
stopBusy() {
    kill "${BUSY_PIDS[@]}" 2>/dev/null || true
    wait "${BUSY_PIDS[@]}" 2>/dev/null || true
    BUSY_PIDS=()
}

# The time from an alarm, seen as the stay-on-top request at the given wall-clock
# time, to the first sound heard after it, in ms; "-" when nothing was heard within 5 s.
heardAfter() { # epoch
    local line
    for _ in $(seq 50); do
        line=$(awk -v t="$1" '$1 == "loud" && $2 > t - 0.05 && $2 < t + 5 { print; exit }' "$WORK/heard")
        [ -n "$line" ] && break
        sleep 0.1
    done
    [ -n "$line" ] || { echo "-"; return; }
    echo "$line" | awk -v t="$1" '{ printf "%.1f", ($2 - t) * 1000 }'
}

# The length of the last turn, from Start (the stay-on-top state released) to its
# alarm (set again), less the turn's length: "ms epoch_of_the_alarm".
lastTurn() { # events pattern
    grep -a -E "$2 (0|1) _NET_WM_STATE_ABOVE" "$1" | tail -n 2 |
        awk -v t="$TURN_S" '{ ms[NR] = $2; epoch[NR] = $3 }
            END { printf "%.2f %.6f", ms[2] - ms[1] - t * 1000, epoch[2] }'
}

# Columns of one run: map_ms rss pss ready_cpu ready_sw run_cpu run_sw turn_err alarm1
# alarm2 heard1 heard2 loaded_err
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
    local rss pss ready running turnErr="-" alarm1="-" alarm2="-" heard1="-" heard2="-"
    local loadedErr="-" firstAlarm
    rss=$(memoryMb "$pid" Rss); pss=$(memoryMb "$pid" Pss)
    ready=$(measureCpu "$pid" "$READY_S")

    local cpuWindow above="^client [0-9.]+ [0-9.]+ $window _NET_WM_STATE"
    cpuWindow=$(awk -v r="$RUNNING_S" -v t="$TURN_S" 'BEGIN { w = t - 2; print (r < w ? r : w) }')
    if [ "$kind" = turnkeeper ]; then
        # First turn: CPU while it runs, then its alarm (the first of the run).
        startTurn
        sleep 0.5
        running=$(measureCpu "$pid" "$cpuWindow")
        firstAlarm=$(waitFor "$events" "$above 1 _NET_WM_STATE_ABOVE" $((TURN_S + 10))) ||
            { echo "bench: no alarm in run $run" >&2; exit 1; }
        heard1=$(heardAfter "$(echo "$firstAlarm" | cut -d' ' -f3)")
        sleep 1
        # Second turn, timed from outside: Start releases the stay-on-top state, the
        # alarm sets it again; both are requests the program sends to the root window.
        startNextTurn "$events" "$above 0 _NET_WM_STATE_ABOVE" ||
            { echo "bench: the second turn did not start in run $run" >&2; exit 1; }
        waitForCount "$events" "$above 1 _NET_WM_STATE_ABOVE" 2 $((TURN_S + 10)) ||
            { echo "bench: no second alarm in run $run" >&2; exit 1; }
        line=$(lastTurn "$events" "$above")
        turnErr=${line% *}
        heard2=$(heardAfter "${line#* }")
        # Third turn, on a machine with one busy loop per CPU.
        sleep 1
        startBusy
        startNextTurn "$events" "$above 0 _NET_WM_STATE_ABOVE" ||
            { stopBusy; echo "bench: the third turn did not start in run $run" >&2; exit 1; }
        waitForCount "$events" "$above 1 _NET_WM_STATE_ABOVE" 3 $((TURN_S + 10)) ||
            { stopBusy; echo "bench: no third alarm in run $run" >&2; exit 1; }
        stopBusy
        line=$(lastTurn "$events" "$above")
        loadedErr=${line% *}
        alarm1=$(grep -m1 'alarm steps took' "$errors" | sed -E 's/.*took ([0-9.]+) ms.*/\1/')
        alarm2=$(grep 'alarm steps took' "$errors" | sed -n 2p | sed -E 's/.*took ([0-9.]+) ms.*/\1/')
    else
        sleep 0.5
        running=$(measureCpu "$pid" "$cpuWindow")
    fi
    kill -TERM "$pid" 2>/dev/null || true
    wait "$watcher" 2>/dev/null || true
    echo "$mapT $rss $pss $ready $running $turnErr ${alarm1:--} ${alarm2:--} $heard1 $heard2 $loadedErr"
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
meets() { if awk "BEGIN { exit !($1) }"; then echo pass; else echo "falls short"; fi; }
row() { # label column
    local t f
    t=$(median "$TK" "$2"); f=$(median "$FL" "$2")
    printf '%-40s %10s %10s %8s\n' "$1" "$t" "$f" "$(awk -v t="$t" -v f="$f" 'BEGIN { if (f > 0) printf "%.2f", t / f; else print "-" }')"
}
single() { # label column
    printf '%-40s %10s   (largest %s)\n' "$1" "$(median "$TK" "$2")" "$(maxAbs "$TK" "$2")"
}

echo
echo "== medians over $RUNS runs"
printf '%-40s %10s %10s %8s\n' "" TurnKeeper floor ratio
row "start to window mapped (ms)" 1
row "resident memory (MB)" 2
row "proportional memory (MB)" 3
row "CPU in Ready (ms per 30 s)" 4
row "context switches in Ready (per 30 s)" 5
row "CPU while a turn runs (ms per 30 s)" 6
row "context switches while a turn runs" 7
single "turn of $TURN_S ticks, error (ms)" 8
single "same, one busy loop per CPU (ms)" 13
single "horn heard, first alarm (ms)" 11
single "horn heard, later alarm (ms)" 12
single "alarm's steps inside, first (ms)" 9
single "alarm's steps inside, later (ms)" 10
heardRuns=$(awk '$11 ~ /^-?[0-9.]+$/ && $12 ~ /^-?[0-9.]+$/' "$TK" | wc -l)
echo "   (the horn was heard at both alarms in $heardRuns of $RUNS runs)"

echo
echo "== targets"
ratioTarget() { # label column factor unit
    local t f
    t=$(median "$TK" "$2"); f=$(median "$FL" "$2")
    printf '%-64s %s\n' "$1 <= $3 x floor ($t vs $(awk -v f="$f" -v k="$3" 'BEGIN { printf "%.2f", k * f }') $4)" \
        "$(meets "$t <= $3 * $f")"
}
ratioTarget "start" 1 1.15 ms
t=$(median "$TK" 2); f=$(median "$FL" 2)
printf '%-64s %s\n' "resident memory <= floor + 8 MB ($t vs $(awk -v f="$f" 'BEGIN { print f + 8 }') MB)" \
    "$(meets "$t <= $f + 8")"
ratioTarget "CPU while a turn runs" 6 1.2 "ms/30 s"
ratioTarget "context switches while a turn runs" 7 1.5 "/30 s"
limit() { # label column limit
    printf '%-64s %s\n' "$1 <= $3 ms (median $(median "$TK" "$2"), largest $(maxAbs "$TK" "$2"))" \
        "$(meets "$(maxAbs "$TK" "$2") <= $3")"
}
limit "turn error, quiet" 8 5
limit "turn error, one busy loop per CPU" 13 20
limit "horn heard, first alarm" 11 80
limit "horn heard, later alarm" 12 40
printf '%-64s %s\n' "horn heard at every alarm ($heardRuns of $RUNS runs)" "$(meets "$heardRuns == $RUNS")"

# The guard's part: its own build and bus, as root (bench/guard.sh says what it measures).
echo
if [ "$(id -u)" = 0 ]; then
    "$SOURCE/bench/guard.sh"
else
    echo "== the guard: skipped (it runs as root: sudo bench/guard.sh)"
fi
