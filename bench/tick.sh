#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a running turn costs, side by side with the plain Qt Widgets program whose
# progress bar shows the time left as m:ss each second (bench/floor with "text"). Both
# run at the same time on one Xvfb display with no window manager, a session bus, a
# system-like bus and a PulseAudio server with a null sink, as on a family's desktop;
# TurnKeeper from a fresh home folder each run, with a turn of TICK_TURN_S seconds
# started from its Timer menu. Measured:
#   - CPU time and context switches of all threads, from /proc, over windows of a
#     running turn taken at the same moments for both programs;
#   - resident memory (smaps_rollup) in Ready, while the turn runs, and once a turn's
#     sounds are read (in the last 75 s of a turn, and in every later turn);
#   - with valgrind's callgrind, the instructions each program runs over a stretch of
#     the turn: a count the other loads of a shared machine do not change.
# Prints the medians, the ratios and the targets: CPU at most 0.5 x, resident memory at
# most + 4 MB. Not part of the tests; about ten minutes.
#
# Overrides (defaults in brackets):
#   TICK_RUNS [3]          fresh starts of both programs
#   TICK_WINDOWS [2]       CPU windows per run
#   TICK_WINDOW_S [60]     length of a CPU window
#   TICK_TURN_S [600]      length of TurnKeeper's turn, and of the floor's bar
#   TICK_CALLGRIND_S [30]  seconds counted by callgrind; 0 leaves callgrind out
#   TICK_SYSTEM_BUS [1]    0: no system bus at all
#   TICK_TURNKEEPER        another TurnKeeper to measure (not built here), e.g. an
#                          older one; it runs from its own folder
#   TICK_KEEP              a folder that keeps the callgrind files and the logs
set -euo pipefail

RUNS=${TICK_RUNS:-3}
WINDOWS=${TICK_WINDOWS:-2}
WINDOW_S=${TICK_WINDOW_S:-60}
TURN_S=${TICK_TURN_S:-600}
CALLGRIND_S=${TICK_CALLGRIND_S:-30}
SYSTEM_BUS=${TICK_SYSTEM_BUS:-1}

SOURCE=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$SOURCE/build-bench
WORK=$(mktemp -d /tmp/turnkeeper-tick.XXXXXX)

for tool in Xvfb xdotool cmake cc pulseaudio pactl dbus-daemon; do
    command -v "$tool" >/dev/null || { echo "tick: $tool is missing" >&2; exit 2; }
done
if [ "$CALLGRIND_S" != 0 ]; then
    command -v valgrind >/dev/null && command -v callgrind_control >/dev/null ||
        { echo "tick: valgrind is missing (or TICK_CALLGRIND_S=0)" >&2; exit 2; }
fi

echo "== building (Release) in $BUILD"
{
    cmake -S "$SOURCE/bench/floor" -B "$BUILD/floor" -G Ninja -DCMAKE_BUILD_TYPE=Release
    cmake --build "$BUILD/floor"
    if [ -z "${TICK_TURNKEEPER:-}" ]; then
        cmake -S "$SOURCE" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
        cmake --build "$BUILD" --target TurnKeeper
    fi
} >"$WORK/build.log" 2>&1 || { cat "$WORK/build.log" >&2; exit 2; }
cc -O2 -Wall -o "$BUILD/xwatch" "$SOURCE/bench/xwatch.c" -lX11
TURNKEEPER=$(readlink -f "${TICK_TURNKEEPER:-$BUILD/TurnKeeper}")
FLOOR=$BUILD/floor/Floor
XWATCH=$BUILD/xwatch
# TurnKeeper runs from the folder that holds its pictures and its horn, the floor beside.
RUNDIR=$(dirname "$TURNKEEPER")

xvfb_pid=""
pulse_pid=""
bus_pids=()
program_pids=()
cleanup() {
    if [ ${#program_pids[@]} -gt 0 ]; then kill "${program_pids[@]}" 2>/dev/null || true; fi
    if [ ${#bus_pids[@]} -gt 0 ]; then kill "${bus_pids[@]}" 2>/dev/null || true; fi
    if [ -n "$pulse_pid" ]; then kill "$pulse_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    if [ -n "${TICK_KEEP:-}" ]; then
        mkdir -p "$TICK_KEEP" && cp -r "$WORK"/. "$TICK_KEEP"/
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap "exit 130" INT TERM

source "$SOURCE/scripts/checks.sh"
start_xvfb "$WORK/xvfb.log" 1280x1024x24 || { echo "tick: Xvfb did not start" >&2; exit 2; }
export QT_QPA_PLATFORM=xcb
start_pulse "$WORK/pulse" || { echo "tick: PulseAudio did not start" >&2; exit 2; }

# A session bus, and a system-like one with the default policy of a system bus; no guard
# answers on it, so TurnKeeper keeps its own turn, as in a family without the lock.
startBus() { # name config-type; sets address
    cat >"$WORK/$1.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>$2</type>
  <listen>unix:path=$WORK/$1.socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
    dbus-daemon --config-file="$WORK/$1.conf" --nofork --print-address=3 3>"$WORK/$1.address" \
        >"$WORK/$1.log" 2>&1 &
    bus_pids+=($!)
    for _ in $(seq 100); do
        [ -s "$WORK/$1.address" ] && break
        sleep 0.1
    done
    address=$(head -n 1 "$WORK/$1.address")
}
startBus session session
export DBUS_SESSION_BUS_ADDRESS=$address
if [ "$SYSTEM_BUS" = 1 ]; then
    startBus system system
    DBUS_SYSTEM_BUS_ADDRESS=$address
else
    DBUS_SYSTEM_BUS_ADDRESS=unix:path=$WORK/no-system-bus
fi
export DBUS_SYSTEM_BUS_ADDRESS

echo "== display $DISPLAY (Xvfb, no window manager); session bus; system bus: $SYSTEM_BUS;" \
    "PulseAudio with a null sink"
echo "== machine: $(nproc) CPUs, $(grep -m1 '^model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')," \
    "load $(cut -d' ' -f1-3 /proc/loadavg), Debian $(cat /etc/debian_version)," \
    "Qt $(qtpaths6 --qt-version 2>/dev/null || echo '?')"
echo "== TurnKeeper: $TURNKEEPER"

waitFor() { # file pattern timeout_s -> the line
    local line
    for _ in $(seq $(($3 * 20))); do
        line=$(grep -a -m1 -E "$2" "$1" 2>/dev/null || true)
        if [ -n "$line" ]; then echo "$line"; return 0; fi
        sleep 0.05
    done
    return 1
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
# CPU ms and switches between two readings of threads, scaled to 30 s: a thread that
# appears meanwhile counts from zero, one that ends (a pool retires its idle threads)
# takes its counts with it, which leaves out only its last moments.
perThirty() { # before after seconds
    awk -v s="$3" 'NR == FNR { ns[$1] = $2; sw[$1] = $3; next }
        { c += $2 - ns[$1]; w += $3 - sw[$1] }
        END { k = 30 / s; printf "%.2f %.0f", c / 1e6 * k, w * k }' "$1" "$2"
}
residentMb() {
    awk '$1 == "Rss:" { printf "%.1f", $2 / 1024 }' /proc/"$1"/smaps_rollup
}

# Starts a program through xwatch with a fresh home; sets pid and window.
launch() { # name program [arguments...]
    local name=$1 home=$WORK/home-$1 events line
    shift
    rm -rf "$home"
    mkdir -p -m 700 "$home/.config/TurnKeeper"
    printf '[Settings]\nMaxTime=%s\n' "${LENGTH:-$TURN_S}" >"$home/.config/TurnKeeper/TurnKeeper.conf"
    events=$WORK/$name.events
    (cd "$RUNDIR" && exec env HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$home" \
        "$XWATCH" "$@" >"$events" 2>"$WORK/$name.stderr") &
    program_pids+=($!)
    pid=$(waitFor "$events" '^pid ' 60 | cut -d' ' -f2) || return 1
    program_pids+=("$pid")
    line=$(waitFor "$events" '^map ' 180) || return 1
    window=$(echo "$line" | cut -d' ' -f4)
}

# Start Timer from the Timer menu; a key lost on a busy machine is met by closing the
# menu and trying again. Start is seen in the record of the running turn it writes.
startTurn() { # window home
    local attempt
    for attempt in 1 2 3; do
        xdotool windowfocus "$1"
        xdotool key alt+t; sleep 0.5
        xdotool key Up; sleep 0.3
        xdotool key Return
        for _ in $(seq 100); do
            grep -q '^\[Turn\]' "$2/.config/TurnKeeper/TurnKeeper.conf" 2>/dev/null && return 0
            sleep 0.1
        done
        xdotool key Escape; sleep 0.2; xdotool key Escape; sleep 0.5
    done
    return 1
}

stopAll() {
    if [ ${#program_pids[@]} -gt 0 ]; then
        kill "${program_pids[@]}" 2>/dev/null || true
        wait "${program_pids[@]}" 2>/dev/null || true
    fi
    program_pids=()
}

# One run: columns of turnkeeper.results and floor.results are
# rss_ready rss_running cpu_ms_per_30s switches_per_30s (one line per CPU window).
runOne() { # run
    local tkPid tkWindow flPid tkReady flReady t0 t1 w side
    launch turnkeeper "$TURNKEEPER" || { echo "tick: TurnKeeper never mapped" >&2; return 1; }
    tkPid=$pid; tkWindow=$window
    launch floor "$FLOOR" "$TURN_S" text || { echo "tick: the floor never mapped" >&2; return 1; }
    flPid=$pid
    sleep 3
    tkReady=$(residentMb "$tkPid"); flReady=$(residentMb "$flPid")
    startTurn "$tkWindow" "$WORK/home-turnkeeper" ||
        { echo "tick: the turn did not start in run $1" >&2; return 1; }
    sleep 3
    for w in $(seq "$WINDOWS"); do
        threads "$tkPid" >"$WORK/turnkeeper.before"; threads "$flPid" >"$WORK/floor.before"
        t0=$EPOCHREALTIME
        sleep "$WINDOW_S"
        threads "$tkPid" >"$WORK/turnkeeper.after"; threads "$flPid" >"$WORK/floor.after"
        t1=$EPOCHREALTIME
        echo "$tkReady $(residentMb "$tkPid") $(perThirty "$WORK/turnkeeper.before" \
            "$WORK/turnkeeper.after" "$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')")" \
            >>"$WORK/turnkeeper.results"
        echo "$flReady $(residentMb "$flPid") $(perThirty "$WORK/floor.before" \
            "$WORK/floor.after" "$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')")" \
            >>"$WORK/floor.results"
        paste -d' ' <(tail -n 1 "$WORK/turnkeeper.results") <(tail -n 1 "$WORK/floor.results") |
            awk '{ if ($7 > 0) printf "%.3f\n", $3 / $7 }' >>"$WORK/ratios"
        printf '   run %d window %d  TurnKeeper %s   floor %s\n' "$1" "$w" \
            "$(tail -n 1 "$WORK/turnkeeper.results")" "$(tail -n 1 "$WORK/floor.results")"
    done
    stopAll
}

echo "== $RUNS runs, $WINDOWS windows of $WINDOW_S s each, a turn of $TURN_S s" \
    "(columns: MB resident in Ready, while running; CPU ms and switches per 30 s)"
for run in $(seq "$RUNS"); do
    runOne "$run"
done

# The sound system is loaded when a turn's end is near (75 s before it), and stays: the
# memory of the last 75 s of a turn, and of every later turn, is read in a short turn.
echo "== resident memory once a turn's sounds are read (a turn of 80 s, 20 s in)"
LENGTH=80 launch turnkeeper "$TURNKEEPER" || { echo "tick: TurnKeeper never mapped" >&2; exit 1; }
tkPid=$pid; tkWindow=$window
launch floor "$FLOOR" "$TURN_S" text || { echo "tick: the floor never mapped" >&2; exit 1; }
flPid=$pid
sleep 3
startTurn "$tkWindow" "$WORK/home-turnkeeper" || { echo "tick: the short turn did not start" >&2; exit 1; }
sleep 20
soundsRss="$(residentMb "$tkPid") $(residentMb "$flPid")"
echo "   TurnKeeper ${soundsRss% *} MB, floor ${soundsRss#* } MB"
stopAll

median() { # file column
    awk -v c="$2" '{ print $c }' "$1" | sort -g |
        awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
row() { # label column
    local t f
    t=$(median "$WORK/turnkeeper.results" "$2"); f=$(median "$WORK/floor.results" "$2")
    printf '%-44s %10s %10s %8s\n' "$1" "$t" "$f" \
        "$(awk -v t="$t" -v f="$f" 'BEGIN { if (f > 0) printf "%.2f", t / f; else print "-" }')"
}
meets() { if awk "BEGIN { exit !($1) }"; then echo pass; else echo "falls short"; fi; }

# Callgrind: both programs under valgrind at once; the counters are zeroed a few
# seconds into the turn and dumped CALLGRIND_S seconds later.
if [ "$CALLGRIND_S" != 0 ]; then
    echo "== callgrind: instructions over $CALLGRIND_S s of a running turn"
    launch turnkeeper valgrind --tool=callgrind --callgrind-out-file="$WORK/callgrind.turnkeeper.%p" \
        "$TURNKEEPER" || { echo "tick: TurnKeeper never mapped under valgrind" >&2; exit 1; }
    tkPid=$pid; tkWindow=$window
    launch floor valgrind --tool=callgrind --callgrind-out-file="$WORK/callgrind.floor.%p" \
        "$FLOOR" "$TURN_S" text || { echo "tick: the floor never mapped under valgrind" >&2; exit 1; }
    flPid=$pid
    startTurn "$tkWindow" "$WORK/home-turnkeeper" ||
        { echo "tick: the turn did not start under valgrind" >&2; exit 1; }
    sleep 5
    callgrind_control -z "$tkPid" >/dev/null
    callgrind_control -z "$flPid" >/dev/null
    sleep "$CALLGRIND_S"
    callgrind_control -d "$tkPid" >/dev/null
    callgrind_control -d "$flPid" >/dev/null
    sleep 2
    instructions() { # side pid: the events of the dump made on request
        awk '/^(summary|totals):/ { print $2; exit }' "$WORK/callgrind.$1.$2.1" 2>/dev/null || echo 0
    }
    tkIr=$(instructions turnkeeper "$tkPid")
    flIr=$(instructions floor "$flPid")
    stopAll
    printf '%-44s %10s %10s %8s\n' "" TurnKeeper floor ratio
    printf '%-44s %10s %10s %8s\n' "instructions per tick (millions)" \
        "$(awk -v i="$tkIr" -v s="$CALLGRIND_S" 'BEGIN { printf "%.3f", i / s / 1e6 }')" \
        "$(awk -v i="$flIr" -v s="$CALLGRIND_S" 'BEGIN { printf "%.3f", i / s / 1e6 }')" \
        "$(awk -v t="$tkIr" -v f="$flIr" 'BEGIN { if (f > 0) printf "%.2f", t / f; else print "-" }')"
    echo "   (callgrind_annotate the files callgrind.*.<pid>.1 kept with TICK_KEEP)"
fi

echo
echo "== medians ($RUNS runs x $WINDOWS windows)"
printf '%-44s %10s %10s %8s\n' "" TurnKeeper floor ratio
row "resident memory in Ready (MB)" 1
row "resident memory while a turn runs (MB)" 2
row "CPU while a turn runs (ms per 30 s)" 3
printf '%-44s %10s %10s %8s\n' "  the same, median of each window's ratio" "" "" "$(median "$WORK/ratios" 1)"
row "context switches while a turn runs (per 30 s)" 4
printf '%-44s %10s %10s %8s\n' "resident memory once the sounds are read (MB)" "${soundsRss% *}" \
    "${soundsRss#* }" "$(awk -v t="${soundsRss% *}" -v f="${soundsRss#* }" 'BEGIN { printf "%.2f", t / f }')"
echo
echo "== targets"
t=$(median "$WORK/turnkeeper.results" 3); f=$(median "$WORK/floor.results" 3)
printf '%-64s %s\n' "CPU while a turn runs <= 0.5 x the m:ss bar ($t vs $(awk -v f="$f" 'BEGIN { printf "%.2f", f / 2 }') ms)" \
    "$(meets "$t <= $f / 2")"
t=$(median "$WORK/turnkeeper.results" 2); f=$(median "$WORK/floor.results" 2)
printf '%-64s %s\n' "resident memory <= the m:ss bar's + 4 MB ($t vs $(awk -v f="$f" 'BEGIN { print f + 4 }') MB)" \
    "$(meets "$t <= $f + 4")"
t=${soundsRss% *}; f=${soundsRss#* }
printf '%-64s %s\n' "  the same, once the sounds are read ($t vs $(awk -v f="$f" 'BEGIN { print f + 4 }') MB)" \
    "$(meets "$t <= $f + 4")"
