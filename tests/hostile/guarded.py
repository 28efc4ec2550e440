#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a child on the account tries, met by the real program when the guard keeps the
turn: the guard as root on a private system-like bus with a stand-in logind, under a lock
of one-minute turns with a one-minute break after each that names that bus, and the
program as another account on a virtual X server under openbox, finding the lock through
XDG_CONFIG_DIRS, looked at from outside (its window, the colours on the screen, the bar's
fill) and through the calls that the stand-in logind recorded.

usage: guarded.py TURNKEEPER GUARD LOCK_TOOL POLICY [CASE...]
(only the cases whose names contain one of the texts given)

Every case has an account and a desktop of its own, and runs in a thread of its own, so
that the suite waits for one turn of the lock's shortest length, not one per case."""
import glob
import os
import shutil
import signal
import subprocess
import sys
import threading
import time
import traceback

import dbus

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # nothing left in the checkout
sys.path.insert(0, os.path.join(HERE, '..', 'guard'))
from world import World, wait_for  # noqa: E402

TURNKEEPER, GUARD, LOCK_TOOL, POLICY = sys.argv[1:5]
CHECKS = os.path.join(HERE, '..', '..', 'scripts', 'checks.sh')
SCREEN = os.path.join(HERE, 'screen.sh')
TURN_SECONDS = 60  # the lock's length, the shortest a lock allows
UNSEEN_SECONDS = 10  # the guard locks when nobody has shown the time's up by then
BAR_PIXELS = 207
# The whole seconds the guard tells, the bar's pixels and the moment of each look.
SLACK_SECONDS = 2
LATE = 120  # how long anything the suite waits for may take on a slow machine
GREEN = '#00FF00'
SKIP = 77
# From a window killed after it showed the time's up to its session locked: a round of
# the guard's asking to find no window, and one more to lock.
KILLED_TO_LOCKED = 20
# The world's connection to the bus is one, and the cases run in threads.
BUS = threading.Lock()


def shell(display, *command, **variables):
    """A function of checks.sh or screen.sh on the display; its success and output."""
    done = subprocess.run(['bash', '-c', 'source "$0"; source "$1"; shift; "$@"', CHECKS, SCREEN,
                           *command], env=dict(os.environ, DISPLAY=display, **variables),
                          capture_output=True, text=True, timeout=LATE)
    return done.returncode == 0, done.stdout.strip()


class Desktop:
    """Xvfb with openbox on it, started as the hostile suite starts them."""

    def __init__(self, folder):
        self.process = subprocess.Popen(
            ['bash', '-c', 'source "$0"; start_xvfb "$1/xvfb.log" 1280x1024x24 && '
             'start_openbox "$1/openbox.log" && echo "$DISPLAY" && wait', CHECKS, folder],
            stdout=subprocess.PIPE, text=True, start_new_session=True)
        self.display = self.process.stdout.readline().strip()
        if not self.display.startswith(':'):
            self.close()
            raise AssertionError('the virtual X server with openbox did not start')

    def close(self):
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()


class Case:
    """One account of the machine with a graphical session in the stand-in logind, a
    home folder and a desktop of its own, and the program it runs."""

    def __init__(self, world, uid, name, program):
        self.world, self.uid, self.name, self.program = world, uid, name, program
        self.dir = os.path.join(world.dir, f'case{uid}')
        self.home = os.path.join(self.dir, 'home')
        os.makedirs(self.home, 0o700)
        os.chown(self.home, uid, uid)
        self.conf = os.path.join(self.home, '.config', 'TurnKeeper', 'TurnKeeper.conf')
        self.log = os.path.join(self.dir, 'program.log')
        self.desktop = Desktop(self.dir)
        with BUS:
            self.session = world.session(uid, display=self.desktop.display)
        self.process = None
        self.window = None
        # Where the program shows: the account's desktop unless it is started elsewhere.
        self.display = self.desktop.display

    def screen(self, *command, **variables):
        return shell(self.display, *command, **variables)

    # --- the program

    def start(self, look=True, **environment):
        """Starts the program as the account, from its own folder, and waits for its
        window (with look) or for it on the guard's bus. The environment is the program's
        alone: nothing of the suite's. It finds the lock in the world's XDG_CONFIG_DIRS;
        its system bus is the guard's as well, so that only the lock tells them apart."""
        variables = dict(PATH='/usr/bin:/bin', HOME=self.home, LANG='C.UTF-8',
                         XDG_CONFIG_HOME=os.path.join(self.home, '.config'),
                         XDG_CONFIG_DIRS=self.world.config_dir,
                         DISPLAY=self.desktop.display, QT_QPA_PLATFORM='xcb',
                         DBUS_SYSTEM_BUS_ADDRESS=self.world.address)
        variables.update(environment)
        self.display = variables['DISPLAY']
        with open(self.log, 'ab') as out:
            self.process = subprocess.Popen(
                ['setpriv', f'--reuid={self.uid}', f'--regid={self.uid}', '--clear-groups',
                 'env', '-i'] + [f'{key}={value}' for key, value in variables.items()] +
                [self.program], cwd=os.path.dirname(self.program), stdout=out, stderr=out)
        self.world.processes.append(self.process)
        if not look:
            wait_for(lambda: self.process.poll() is not None or self.on_guards_bus(),
                     'the program on the guard\'s bus', LATE)
            assert self.process.poll() is None, \
                f'the program ended with {self.process.returncode}'
            return
        found = wait_for(lambda: self.process.poll() is not None or
                         self.screen('wait_window', 'TurnKeeper', '1')[1], 'the window', LATE)
        assert self.process.poll() is None, f'the program ended with {self.process.returncode}'
        self.window = found.split()[0]

    def on_guards_bus(self):
        """Whether the program's process has a connection on the guard's bus."""
        driver = 'org.freedesktop.DBus'
        with BUS:
            bus = self.world.bus.get_object(driver, '/org/freedesktop/DBus')
            for name in self.world.bus.list_names():
                try:
                    if name.startswith(':') and bus.GetConnectionUnixProcessID(
                            name, dbus_interface=driver) == self.process.pid:
                        return True
                except dbus.exceptions.DBusException:
                    pass  # gone meanwhile
        return False

    def end(self):
        """SIGTERM, as a logout or a child at a terminal ends it; waits until it is gone."""
        self.process.send_signal(signal.SIGTERM)
        self.process.wait(LATE)

    def signal(self, number):
        self.process.send_signal(number)

    def start_turn_as_account(self):
        """Start, asked of the guard by the account itself, as any program of its can."""
        assert self.world.call(self.uid, 'Start', '') == {'reply': []}
        assert self.guard_turn()[0] == 'running', self.guard_turn()

    def start_turn(self):
        """Start Timer from the Timer menu, pressed again should a busy machine lose the
        keys; the guard must then count the account's turn."""
        for _ in range(3):
            self.screen('start_stop', main_window=self.window)
            try:
                wait_for(lambda: self.guard_turn()[0] == 'running', 'the guard to count', 10)
                return
            except AssertionError:
                assert self.guard_turn()[0] == 'ready', self.guard_turn()
        raise AssertionError('Start Timer did not start a turn in the guard: '
                             f'{self.guard_turn()}')

    # --- what the guard and the stand-in logind say

    def guard_turn(self):
        return self.world.call(self.uid, 'Turn')['reply']

    def guard_elapsed(self):
        """The seconds of the turn gone, as a range that holds the true count."""
        before = time.monotonic()
        state, length, elapsed, _, _ = self.guard_turn()
        assert (state, length) == ('running', TURN_SECONDS), (state, length)
        return elapsed, elapsed + 1 + time.monotonic() - before

    def guard_end(self):
        """The earliest moment (monotonic) the guard's turn can end."""
        before = time.monotonic()
        state, length, elapsed, _, _ = self.guard_turn()
        assert state == 'running', state
        return before + length - elapsed - 1

    def locks(self):
        with BUS:
            return self.world.calls_of('LockSession', self.session)

    def lock_times(self):
        """When (wall clock) the stand-in logind was asked to lock the session."""
        with BUS:
            calls = self.world.logind.GetMethodCalls(
                'LockSession', dbus_interface='org.freedesktop.DBus.Mock')
        return [float(stamp) for stamp, args in calls if str(args[0]) == self.session]

    def set_locked_hint(self, locked):
        with BUS:
            self.world.set_locked_hint(self.session, locked)

    # --- what the screen shows

    def colour(self):
        return self.screen('colour_beside_face', self.window)[1]

    def seconds_shown(self):
        """The seconds gone by the bar's fill, and the moments (monotonic) between which
        the screen was read."""
        before = time.monotonic()
        filled = int(self.screen('bar_filled', self.window)[1] or 0)
        return filled * TURN_SECONDS / BAR_PIXELS, before, time.monotonic()

    def shows_the_guards_count(self):
        """The window shows a running turn, in green, and its bar the count the guard
        keeps, give or take the slack; the reading of the bar."""
        wait_for(lambda: self.colour() == GREEN, 'the window to show a running turn', LATE)
        low, _ = self.guard_elapsed()
        shown = self.seconds_shown()
        _, high = self.guard_elapsed()
        assert low - SLACK_SECONDS <= shown[0] <= high + SLACK_SECONDS, \
            f'the bar shows {shown[0]:.1f} s gone, the guard {low} to {high:.1f} s'
        return shown

    def shows_time_up(self):
        """Waits for the window to stand above the others, and then for nothing to keep
        its time's up from being seen (it is mapped, in view, active and red); the moment
        it first stood above."""
        try:
            wait_for(lambda: self.screen('is_above', self.window)[0], 'the time\'s up',
                     TURN_SECONDS + LATE)
        except AssertionError:
            raise AssertionError(
                f'the window never stood above the others; the guard says {self.guard_turn()}, '
                f'the screen shows {self.colour()}, the program '
                f'{"runs" if self.process.poll() is None else "has ended"}') from None
        seen = time.monotonic()
        # The window manager may take a moment to give it the focus.
        deadline = time.monotonic() + 10
        while True:
            problems = self.screen('time_up_problems', self.window)[1]
            if not problems or time.monotonic() > deadline:
                break
            time.sleep(0.2)
        assert not problems, problems
        return seen

    def shows_time_up_at(self, end):
        """The time's up is shown, and not before the guard's end."""
        seen = self.shows_time_up()
        assert seen >= end - SLACK_SECONDS, \
            f'the time\'s up came {end - seen:.1f} s before the guard\'s end'

    def close(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.desktop.close()


def write_as_child(case, path, text):
    """The account's own file rewritten, as anyone on the account may."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w') as f:
        f.write(text)
    for folder in (path, os.path.dirname(path), os.path.dirname(os.path.dirname(path))):
        os.chown(folder, case.uid, case.uid)


def utc(seconds_from_now):
    return time.strftime('%Y-%m-%dT%H:%M:%SZ', time.gmtime(time.time() + seconds_from_now))


# --- The cases. Each gets a Case and raises AssertionError when the dodge works.

def killed_and_left(case):
    case.start()
    case.start_turn()
    case.signal(signal.SIGKILL)
    case.process.wait()
    wait_for(case.locks, 'the session to be locked', TURN_SECONDS + UNSEEN_SECONDS + LATE)
    assert not case.screen('windows_named', 'TurnKeeper')[1], 'a window is still there'


def stopped_and_continued(case):
    case.start()
    case.start_turn()
    case.signal(signal.SIGSTOP)
    wait_for(case.locks, 'the session to be locked', TURN_SECONDS + UNSEEN_SECONDS + LATE)
    case.signal(signal.SIGCONT)
    case.shows_time_up()
    # Seen now: the session, unlocked again and again, is at last left unlocked.
    deadline = time.monotonic() + LATE
    while True:
        locks = case.locks()
        case.set_locked_hint(True)
        case.set_locked_hint(False)
        time.sleep(5)
        if case.locks() == locks:
            return
        assert time.monotonic() < deadline, \
            f'still locked again at each unlock {LATE} s after the time\'s up showed'


def record_edited(started, length, max_time):
    def edited(case):
        case.start()
        case.start_turn()
        time.sleep(10)
        case.end()
        write_as_child(case, case.conf, f'[Settings]\nMaxTime={max_time}\n'
                       f'[Turn]\nLength={length}\nStarted={started()}\n')
        case.start()
        case.shows_the_guards_count()
        case.shows_time_up_at(case.guard_end())
    return edited


def another_time_zone(case):
    case.start(TZ='UTC0')
    case.start_turn()
    time.sleep(10)
    before, first, last = case.shows_the_guards_count()
    case.end()
    # Fourteen hours ahead, past the date line.
    case.start(TZ='<+14>-14')
    after, since, until = case.shows_the_guards_count()
    # What the bar gained is the time between the two readings.
    assert since - last - SLACK_SECONDS <= after - before <= until - first + SLACK_SECONDS, \
        f'{before:.1f} s gone before, {after:.1f} s {since - last:.1f} s later'
    case.shows_time_up_at(case.guard_end())


def clock_moved(shift):
    def moved(case):
        library = glob.glob('/usr/lib/*/faketime/libfaketime.so.1')
        assert library, 'libfaketime is not installed'
        clock = os.path.join(case.dir, 'clock')
        with open(clock, 'w') as f:
            f.write('+0\n')
        os.chmod(clock, 0o644)
        # The wall clock alone, as a clock set by hand or by the network moves.
        case.start(LD_PRELOAD=library[0], FAKETIME_TIMESTAMP_FILE=clock, FAKETIME_NO_CACHE='1',
                   FAKETIME_DONT_FAKE_MONOTONIC='1')
        with open(f'/proc/{case.process.pid}/maps') as f:
            assert 'libfaketime' in f.read(), 'the program runs without libfaketime'
        case.start_turn()
        time.sleep(10)
        with open(clock + '.new', 'w') as f:
            f.write(shift + '\n')
        os.chmod(clock + '.new', 0o644)
        os.rename(clock + '.new', clock)
        time.sleep(3)
        case.shows_the_guards_count()
        case.shows_time_up_at(case.guard_end())
    return moved


def left_alone(case):
    case.start()
    case.start_turn()
    end = case.guard_end()
    case.shows_time_up_at(end)
    time.sleep(max(0.0, end + 1 + UNSEEN_SECONDS + 5 - time.monotonic()))
    assert case.locks() == 0, f'locked {case.locks()} times'
    assert case.guard_turn()[0] == 'timeup', case.guard_turn()


def locked_at_the_end(case):
    """The guard's turn runs out and the account's session is locked: nothing the
    program's start did made the guard believe a time's up is seen."""
    wait_for(case.locks, 'the session to be locked', TURN_SECONDS + UNSEEN_SECONDS + LATE)


def drawn_offscreen(case):
    case.start(look=False, QT_QPA_PLATFORM='offscreen')
    case.start_turn_as_account()
    locked_at_the_end(case)


def own_display(case):
    folder = os.path.join(case.dir, 'own')
    os.makedirs(folder)
    own = Desktop(folder)
    try:
        # An X server of the child's own, where nobody looks.
        case.start(DISPLAY=own.display)
        case.start_turn()
        locked_at_the_end(case)
    finally:
        own.close()


NO_MAP = r'''
#include <xcb/xcb.h>
/* The window is never put on the screen, while the program believes it is. */
xcb_void_cookie_t xcb_map_window(xcb_connection_t *c, xcb_window_t w)
{
    (void)c; (void)w;
    xcb_void_cookie_t none = {0};
    return none;
}
xcb_void_cookie_t xcb_map_window_checked(xcb_connection_t *c, xcb_window_t w)
{
    return xcb_map_window(c, w);
}
'''


def never_mapped(case):
    source = os.path.join(case.dir, 'nomap.c')
    library = os.path.join(case.dir, 'libnomap.so')
    with open(source, 'w') as f:
        f.write(NO_MAP)
    subprocess.run(['cc', '-shared', '-fPIC', '-o', library, source], check=True)
    os.chmod(library, 0o755)
    case.start(look=False, LD_PRELOAD=library)
    with open(f'/proc/{case.process.pid}/maps') as f:
        assert 'libnomap' in f.read(), 'the program runs without the library'
    case.start_turn_as_account()
    locked_at_the_end(case)
    assert not case.screen('windows_named', 'TurnKeeper')[1], 'the window showed after all'


def killed_after_time_up(case):
    case.start()
    case.start_turn()
    case.shows_time_up()
    assert case.locks() == 0, f'locked {case.locks()} times while the time\'s up showed'
    assert case.guard_turn()[4] > 0, f'no break after the time\'s up: {case.guard_turn()}'
    killed = time.time()
    case.signal(signal.SIGKILL)
    case.process.wait()
    wait_for(case.locks, 'the session to be locked', LATE)
    after = case.lock_times()[0] - killed
    assert after <= KILLED_TO_LOCKED + SLACK_SECONDS, \
        f'locked {after:.1f} s after the program was killed'


def system_bus_elsewhere(case):
    # The account's own idea of the system bus: one where no guard runs.
    case.start(DBUS_SYSTEM_BUS_ADDRESS=case.world.spare_bus())
    case.start_turn()
    case.shows_the_guards_count()


def guard_not_answering(case):
    # A lock like the world's, naming a bus where no guard runs.
    folder = os.path.join(case.dir, 'xdg')
    case.world.set_lock(['--length', '1'], os.path.join(folder, 'TurnKeeper', 'TurnKeeper.conf'),
                        case.world.spare_bus())
    case.start(XDG_CONFIG_DIRS=folder)
    case.screen('start_stop', main_window=case.window)
    ok, box = case.screen('wait_window', 'TurnKeeper', '30', case.window)
    assert ok, 'Start said nothing'
    with open(case.log, errors='replace') as f:
        said = f.read()
    assert 'the guard does not answer' in said, said
    # Read, and put away.
    assert case.screen('focus', box)[0] and case.screen('keys', 'Return')[0]
    assert case.screen('wait_no_window', 'TurnKeeper', '30', case.window)[0], 'the box stays'
    time.sleep(UNSEEN_SECONDS)
    assert case.colour() != GREEN, 'the window shows a turn of its own'
    assert case.guard_turn()[0] == 'ready', case.guard_turn()


CASES = [
    ('killed with SIGKILL mid-turn and not started again: the session is locked',
     killed_and_left),
    ('stopped with SIGSTOP: locked; continued: shows the time\'s up, no more locks',
     stopped_and_continued),
    ('its record edited to a turn begun an hour ago: the guard\'s count and end',
     record_edited(lambda: utc(-3600), 30, 3)),
    ('its record edited to a two-hour turn begun now: the guard\'s count and end',
     record_edited(lambda: utc(0), 7200, 7200)),
    ('started again in a time zone 14 hours ahead: the same count and end',
     another_time_zone),
    ('its wall clock set back two hours mid-turn: the guard\'s count and end',
     clock_moved('-2h')),
    ('its wall clock set a day ahead mid-turn: the guard\'s count and end', clock_moved('+1d')),
    ('left alone: shows the time\'s up, no lock', left_alone),
    ('started offscreen: the session is locked at the end', drawn_offscreen),
    ('shown on an X server of its own: the session is locked at the end', own_display),
    ('its window never mapped (LD_PRELOAD): the session is locked at the end', never_mapped),
    ('killed once the time\'s up showed, during the break: locked within 20 s',
     killed_after_time_up),
    ('DBUS_SYSTEM_BUS_ADDRESS pointed elsewhere: still the guard\'s turn', system_bus_elsewhere),
    ('its lock names a bus where no guard answers: Start says so, no turn', guard_not_answering),
]


def copy_program(world):
    """The program and the files it opens from its folder, where every account can read
    them: the checkout may lie in a folder only root can enter."""
    folder = os.path.join(world.dir, 'program')
    os.mkdir(folder)
    built = os.path.dirname(os.path.abspath(TURNKEEPER))
    _, names = shell(os.environ.get('DISPLAY', ''), 'eval', 'echo "${runtime_files[@]}"')
    for name in [os.path.basename(TURNKEEPER), 'turnkeeper-sound.so'] + names.split():
        shutil.copy(os.path.join(built, name), folder)
    for entry in os.listdir(folder):
        os.chmod(os.path.join(folder, entry), 0o755)
    return os.path.join(folder, os.path.basename(TURNKEEPER))


def run(world, uid, name, case, program, results):
    """One case in its own thread; its outcome, with what the program said on failure."""
    setup = None
    try:
        setup = Case(world, uid, name, program)
        case(setup)
        results[name] = None
    except Exception:
        said = ''
        if setup and os.path.exists(setup.log):
            with open(setup.log, errors='replace') as f:
                said = 'The program said:\n' + ''.join(f.readlines()[-15:])
        results[name] = traceback.format_exc() + said
    finally:
        if setup:
            setup.close()


def main():
    if os.geteuid() != 0:
        print('SKIP: the guard runs as root, and the program as another account')
        return SKIP
    chosen = sys.argv[5:]
    if chosen:
        CASES[:] = [case for case in CASES if any(text in case[0] for text in chosen)]
    world = World(GUARD, LOCK_TOOL, POLICY)
    results = {}
    try:
        world.set_lock(['--length', '1', '--break', '1'])
        program = copy_program(world)
        world.use_program(program)
        accounts = world.accounts()
        assert len(accounts) >= len(CASES), 'too few accounts on this machine'
        threads = [threading.Thread(target=run, args=(world, uid, name, case, program, results))
                   for uid, (name, case) in zip(accounts, CASES)]
        for thread in threads:
            thread.start()
            time.sleep(1)  # the desktops start one after another
        for thread in threads:
            thread.join()
        assert world.guard_alive(), 'the guard is gone'
    except Exception:
        results['the suite'] = traceback.format_exc()
    finally:
        failed = [name for name, problem in results.items() if problem]
        for name, problem in results.items():
            print(f'PASS: {name}' if not problem else f'FAIL: {name}\n{problem}')
        if failed:
            world.print_guard_log()
        world.close()
    print(f'{len(results) - len(failed)} of {len(results)} passed')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
