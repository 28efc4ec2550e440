#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What the guard costs a computer: its wake-ups and its memory, idle and while a turn
runs, measured on the integration suite's private system-like bus (tests/guard/world.py),
as root. Not part of the tests.

  guard.py GUARD LOCK_TOOL POLICY [FLOOR]  measures and prints a table; with FLOOR (the
                                           least Qt D-Bus service, bench/guardfloor), its
                                           memory on the same bus beside
  guard.py GUARD LOCK_TOOL POLICY serve    starts the same bus and guard, prints
                                           XDG_CONFIG_DIRS=... (the folder of the lock,
                                           which names the bus) and keeps them until its
                                           standard input closes: for timing the program's
                                           start with the guard answering

Two counts over two windows of the same length, one after the other: the context
switches of all its threads (voluntary and not, from /proc/PID/task/*/status), and,
when strace is installed, the wake-ups of its event loops: the polls it returned from
after sleeping in them at least a millisecond (strace would add switches of its own,
hence the second window). A single wake-up that saves a file blocks on the disk a few
times, each a switch. Memory is VmRSS and smaps_rollup's Pss.

Overrides for a quick try (defaults in brackets): BENCH_GUARD_IDLE_S [60] seconds of
each idle window; BENCH_GUARD_TURN_MIN [5] minutes of the measured turn (at least 3),
counted from 30 s after its start in two windows of whole minutes."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests',
                                'guard'))
from world import World, wait_for  # noqa: E402

IDLE_S = float(os.environ.get('BENCH_GUARD_IDLE_S', 60))
TURN_MIN = max(3, int(os.environ.get('BENCH_GUARD_TURN_MIN', 5)))


def switches(pid):
    """Context switches of each thread: {tid: count}."""
    counts = {}
    for tid in os.listdir(f'/proc/{pid}/task'):
        try:
            with open(f'/proc/{pid}/task/{tid}/status') as f:
                counts[tid] = sum(int(line.split()[1]) for line in f
                                  if line.startswith(('voluntary_ctxt', 'nonvoluntary_ctxt')))
        except OSError:
            pass  # the thread ended meanwhile
    return counts


def switches_over(pid, seconds):
    """Context switches of all threads over a window; a thread that appears meanwhile
    counts from zero."""
    before = switches(pid)
    time.sleep(seconds)
    after = switches(pid)
    return sum(count - before.get(tid, 0) for tid, count in after.items())


def polls_over(pid, seconds):
    """Returns from a poll that slept at least 1 ms, in any thread; None without strace."""
    if not shutil.which('strace'):
        time.sleep(seconds)
        return None
    with tempfile.NamedTemporaryFile('r') as trace:
        subprocess.run(['timeout', '-s', 'INT', str(seconds), 'strace', '-f', '-T', '-qq',
                        '-e', 'trace=poll,ppoll', '-o', trace.name, '-p', str(pid)],
                       check=False)
        slept = [float(m.group(1)) for m in re.finditer(r'= \d+.*<(\d+\.\d+)>$',
                                                         trace.read(), re.M)]
    return sum(1 for duration in slept if duration >= 0.001)


def wakeups(pid, seconds):
    """(context switches, event-loop wake-ups or '-') over two windows of seconds each."""
    switched = switches_over(pid, seconds)
    polls = polls_over(pid, seconds)
    return switched, '-' if polls is None else polls


def memory(pid):
    """Resident and proportional memory, in MB."""
    figures = {}
    with open(f'/proc/{pid}/smaps_rollup') as f:
        for line in f:
            name, _, rest = line.partition(':')
            if name in ('Rss', 'Pss', 'Anonymous'):
                figures[name] = int(rest.split()[0]) / 1024
    return figures


def libraries(pid):
    """The shared objects mapped, by name."""
    with open(f'/proc/{pid}/maps') as f:
        return sorted({os.path.basename(line.split()[-1]) for line in f
                       if '.so' in line.split()[-1]})


def measure(world):
    uid = world.accounts()[0]
    pid = world.guard.pid
    rows = []
    time.sleep(3)
    rows.append(('idle after start: resident memory', f"{memory(pid)['Rss']:.1f} MB"))
    rows.append(('idle after start: proportional memory', f"{memory(pid)['Pss']:.1f} MB"))
    loaded = libraries(pid)
    rows.append(('idle after start: shared objects mapped', str(len(loaded))))
    switched, polls = wakeups(pid, IDLE_S)
    rows.append((f'idle: context switches over {IDLE_S:.0f} s', str(switched)))
    rows.append((f'idle: event-loop wake-ups over {IDLE_S:.0f} s', str(polls)))

    world.set_lock(['--length', str(TURN_MIN)])
    window = world.window(uid)
    started = time.monotonic()
    result = world.call(uid, 'Start', '')
    assert result == {'reply': []}, result
    time.sleep(30)
    # Whole minutes, so that each window holds as many saves as minutes.
    counted = 60 * ((TURN_MIN - 1) // 2)
    switched, polls = wakeups(pid, counted)
    per_minute = (lambda n: '-' if n == '-' else f'{n * 60 / counted:.1f}')
    rows.append((f'turn running: context switches a minute (over {counted:.0f} s)',
                 per_minute(switched)))
    rows.append((f'turn running: event-loop wake-ups a minute (over {counted:.0f} s)',
                 per_minute(polls)))
    end = started + TURN_MIN * 60
    time.sleep(max(0.0, end - 5 - time.monotonic()))
    rows.append(('end of the turn: context switches from 5 s before to 5 s after',
                 str(switches_over(pid, 10))))
    wait_for(window.shown, "the window to show the time's up", 120)
    time.sleep(3)
    rows.append(('idle after a turn: resident memory', f"{memory(pid)['Rss']:.1f} MB"))
    rows.append(('idle after a turn: proportional memory', f"{memory(pid)['Pss']:.1f} MB"))
    switched, polls = wakeups(pid, IDLE_S)
    rows.append((f'idle after a turn: context switches over {IDLE_S:.0f} s', str(switched)))
    rows.append((f'idle after a turn: event-loop wake-ups over {IDLE_S:.0f} s', str(polls)))
    rows.append(('shared objects the turn loaded',
                 ' '.join(name for name in libraries(pid) if name not in loaded) or '-'))
    return rows


def main():
    if os.geteuid() != 0:
        print('bench: the guard runs as root, and its clients as other users', file=sys.stderr)
        return 2
    world = World(*sys.argv[1:4])
    try:
        if sys.argv[4:] == ['serve']:
            # The program finds the guard through the lock, as it would the administrator's.
            print(f'XDG_CONFIG_DIRS={world.config_dir}', flush=True)
            sys.stdin.read()
            return 0
        print(f'== the guard, pid {world.guard.pid}, on a private bus')
        rows = measure(world)
        if sys.argv[4:]:
            world.guard.kill()
            world.guard.wait()
            world.guard_program = sys.argv[4]
            world.start_guard()
            time.sleep(3)
            rows.append(('the floor, idle: resident memory',
                         f"{memory(world.guard.pid)['Rss']:.1f} MB"))
            rows.append(('the floor, idle: proportional memory',
                         f"{memory(world.guard.pid)['Pss']:.1f} MB"))
        for label, value in rows:
            print(f'{label:58} {value}')
    finally:
        world.close()
    return 0


if __name__ == '__main__':
    sys.exit(main())
