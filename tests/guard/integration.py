#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The guard as root on a private system-like bus, with a stand-in logind, met by
clients of other accounts. usage: integration.py GUARD LOCK_TOOL POLICY [CASE...]
(only the cases whose names contain one of the texts given)

Every case has an account (a uid) of its own. The cases that wait for the end of a turn
run side by side, so the suite waits for one turn, not one per case. A case that changes
what every account meets (the lock, logind, the guard's memory, the guard itself) has a
world of its own, beside the others."""
import json
import os
import signal
import subprocess
import sys
import threading
import time
import traceback

import pwd

from world import PASSWORD, World, wait_for

GUARD, LOCK_TOOL, POLICY = sys.argv[1:4]
SKIP = 77


ERROR = 'io.github.turnkeeper.Guard1.Error.'
UNKNOWN = 'org.freedesktop.DBus.Error.UnknownMethod'


def error_of(result):
    return result.get('error', '')


# --- The cases. Each gets the world and a uid of its own. A case is a function; one
# that waits for the end of a turn is a generator: it sets up, yields, and checks once
# the turn of every such case is over.

def wrong_passwords_are_slowed_down(world, uid):
    result = world.run(uid, 'guesses', 200, 'guess', PASSWORD)
    tally = result['wrong']
    checked = tally.get('[false]', 0)
    # Five free tries, then waits of 1, 2, 4... s: the quick loop gets only a few more.
    assert 5 <= checked <= 8, tally
    assert tally.get(ERROR + 'TooManyTries', 0) == 200 - checked, tally
    assert world.guard_says(f'uid {uid}: A wrong parent password') == checked
    # The right password right after must wait its turn as well.
    assert error_of(result['right']) == ERROR + 'TooManyTries', result['right']


def another_account_tries_on_its_own(world, uid):
    tally = world.run(world.other_account(2), 'repeat', 20, 'CheckPassword', json.dumps('guess'))
    assert tally.get(ERROR + 'TooManyTries', 0) >= 10, tally
    assert world.call(uid, 'CheckPassword', PASSWORD) == {'reply': [True]}


def garbage_arguments_get_errors(world, uid):
    cases = [
        ('a number for a password', ['call', 'CheckPassword', '42'], UNKNOWN),
        ('no password', ['call', 'CheckPassword'], UNKNOWN),
        ('two passwords', ['call', 'CheckPassword', '"a"', '"b"'], UNKNOWN),
        ('a password of 1025 bytes', ['call', 'CheckPassword', json.dumps('x' * 1025)],
         ERROR + 'InvalidArgument'),
        ('600 two-byte letters', ['call', 'CheckPassword', json.dumps('é' * 600)],
         ERROR + 'InvalidArgument'),
        ('an argument to Attach', ['call', 'Attach', '"x"'], UNKNOWN),
        ('an argument to Turns', ['call', 'Turns', '1000'], UNKNOWN),
        ('a method that is not there', ['call', 'Shutdown'], UNKNOWN),
        ('the guard\'s name', ['own'], 'org.freedesktop.DBus.Error.AccessDenied'),
    ]
    for what, args, error in cases:
        result = world.run(uid, *args)
        assert error_of(result) == error, (what, result)
        assert result['message'], what
    assert world.run(uid, 'call', 'CheckPassword', json.dumps({'x': 1024})) == {'reply': [False]}


def quick_calls_and_huge_strings_leave_it_small(world, uid):
    before = world.guard_rss_kb()
    tally = world.run(uid, 'repeat', 10000, 'CheckPassword', json.dumps({'x': 2000}))
    assert tally == {ERROR + 'InvalidArgument': 10000}, tally
    after_quick = world.guard_rss_kb()
    sizes = []
    for _ in range(4):
        result = world.run(uid, 'call', 'CheckPassword', json.dumps({'x': 10 * 1024 * 1024}))
        assert error_of(result) == ERROR + 'InvalidArgument', result
        sizes.append(world.guard_rss_kb())
    assert world.call(uid, 'CheckPassword', PASSWORD) == {'reply': [True]}
    print(f'  the guard: {before} kB, {after_quick} kB after 10,000 calls, {sizes} kB '
          'after each 10 MB string')
    assert after_quick - before < 4 * 1024, 'the quick calls left memory behind'
    assert max(sizes) - before < 4 * 1024, 'the huge strings left memory behind'


def a_changed_lock_is_followed(world, uid):
    os.rename(world.lock_file, world.lock_file + '.aside')
    try:
        results = [world.call(uid, method, *args)
                   for method, args in [('CheckPassword', [PASSWORD]), ('Turns', [])]]
    finally:
        os.rename(world.lock_file + '.aside', world.lock_file)
    for result in results:
        assert error_of(result) == ERROR + 'NotLocked', result
    assert world.call(uid, 'CheckPassword', PASSWORD) == {'reply': [True]}


TURN_SECONDS = 60  # the shortest a lock allows
UNSEEN_SECONDS = 10


def locked(world, session_id):
    return world.calls_of('LockSession', session_id)


def start_turn(world, uid, child=''):
    result = world.call(uid, 'Start', child)
    assert result == {'reply': []}, result
    return time.monotonic()


def after_the_end(started, margin=5):
    """Sleeps until the turn started then is over and its time's up went unseen, with a
    margin; for checks that something did not happen."""
    time.sleep(max(0.0, started + TURN_SECONDS + UNSEEN_SECONDS + margin - time.monotonic()))


def killed_program_is_locked(world, uid):
    session = world.session(uid)
    window = world.window(uid)
    start_turn(world, uid)
    window.signal(signal.SIGKILL)
    yield
    wait_for(lambda: locked(world, session), 'the session to be locked', 180)
    assert window.shown() == 0


def stopped_program_is_locked(world, uid):
    session = world.session(uid)
    window = world.window(uid)
    start_turn(world, uid)
    window.signal(signal.SIGSTOP)
    yield
    wait_for(lambda: locked(world, session), 'the session to be locked', 180)
    window.signal(signal.SIGKILL)


def live_program_is_not_locked(world, uid):
    session = world.session(uid)
    window = world.window(uid, verified=True)
    started = start_turn(world, uid, 'Cy')
    wait_for(lambda: 'TurnChanged running' in window.lines, 'the window to hear of the start')
    yield
    wait_for(window.shown, 'the window to be asked to show the time\'s up', 180)
    assert 'TimeUp Cy' in window.lines, window.lines
    after_the_end(started)
    assert locked(world, session) == 0
    # Asked again and again while the time's up stands.
    assert window.shown() >= 2, window.shown()
    assert world.call(uid, 'Turn')['reply'][0] == 'timeup'
    # Killed once it showed the time's up: the time's up stands all the same.
    window.signal(signal.SIGKILL)
    killed = time.monotonic()
    wait_for(lambda: locked(world, session), 'the session to be locked', 60)
    assert time.monotonic() - killed <= 20 + 2, f'locked {time.monotonic() - killed:.0f} s after'


# Programs that say they show the time's up, and what the guard finds wrong with each.
LIARS = [
    ({'QT_QPA_PLATFORM': 'offscreen'}, 'it shows on the platform offscreen'),
    ({'DISPLAY': ':77'}, 'its display :77 is none of the account\'s desktops'),
    ({'LD_PRELOAD': 'libm.so.6'}, 'its environment sets LD_PRELOAD'),
    ({'QT_PLUGIN_PATH': '/tmp'}, 'its environment sets QT_PLUGIN_PATH'),
    (None, 'it was started with arguments'),
]


def unlocked_session_is_locked_again(world, uid):
    session = world.session(uid)
    text_session = world.session(uid, 'tty')
    world.window(uid, answer=False)  # a program that does not show it counts for nothing
    # Nor do programs that only say they do: on a display or platform of their own, with a
    # library of their own, or not the program at all.
    for environment, _ in LIARS:
        if environment is None:
            world.window(uid)
        else:
            world.window(uid, verified=True, **environment)
    start_turn(world, uid)
    yield
    wait_for(lambda: locked(world, session), 'the session to be locked', 180)
    for _, why in LIARS:
        wait_for(lambda: world.guard_says(f'uid {uid}: a program says it shows the time\'s up, '
                                          f'but {why}'), why)
    world.set_locked_hint(session, True)
    world.set_locked_hint(session, False)
    wait_for(lambda: locked(world, session) >= 2, 'the session to be locked again')
    assert locked(world, text_session) == 0


def later_sessions_are_locked(world, uid):
    other = world.other_account()
    start_turn(world, uid)
    yield
    wait_for(lambda: world.guard_says(f'uid {uid}: nobody shows the time'), 'the locking', 180)
    sessions = [world.session(uid, 'wayland'), world.session(uid, 'tty'), world.session(other)]
    later = sessions[0]
    wait_for(lambda: locked(world, later), 'the session opened later to be locked')
    world.set_locked_hint(later, True)
    world.set_locked_hint(later, False)
    wait_for(lambda: locked(world, later) >= 2, 'the session opened later to be locked again')
    # What logind says of the others is not graphical, or not this account's.
    world.session(uid, 'x11')
    wait_for(lambda: locked(world, f'x11{uid}'), 'a second session opened later to be locked')
    assert [locked(world, session) for session in sessions[1:]] == [0, 0]


def new_program_shows_it_and_locking_stops(world, uid):
    session = world.session(uid)
    start_turn(world, uid)
    yield
    wait_for(lambda: locked(world, session), 'the session to be locked', 180)
    window = world.window(uid, verified=True)
    wait_for(window.shown, 'the new window to be asked to show the time\'s up')
    count = locked(world, session)
    world.set_locked_hint(session, True)
    world.set_locked_hint(session, False)
    # Longer than an unlocked session has for a window to show it.
    time.sleep(UNSEEN_SECONDS + 5)
    assert locked(world, session) == count


def record_holds_the_turn(world, uid):
    other = world.other_account()
    start_turn(world, uid, 'Dee')
    [[running]] = world.call(uid, 'Turns')['reply']
    child, turn_started, started, ended, length, used, ending = running
    assert (child, length, ended, ending) == ('Dee', TURN_SECONDS, 0, ''), running
    assert turn_started == started > 0 and 0 <= used < TURN_SECONDS, running
    yield
    wait_for(lambda: world.call(uid, 'Turn')['reply'][0] == 'timeup', 'the time\'s up', 180)
    [[entry]] = world.call(uid, 'Turns')['reply']
    child, turn_started, started, ended, length, used, ending = entry
    assert (child, length, used, ending) == ('Dee', TURN_SECONDS, TURN_SECONDS, "time's up"), \
        entry
    assert turn_started == started == running[2], entry
    assert ended >= started + (TURN_SECONDS - 1) * 1000, entry
    assert world.call(other, 'Turns') == {'reply': [[]]}


def another_account_cannot_see_or_stop_it(world, uid):
    other = world.other_account()
    others_window = world.window(other)
    start_turn(world, uid, 'Ann')
    assert world.call(other, 'Turn')['reply'][:1] == ['ready']
    assert world.call(other, 'Stop', PASSWORD) == {'reply': []}
    state, length, _, child, _ = world.call(uid, 'Turn')['reply']
    assert (state, length, child) == ('running', TURN_SECONDS, 'Ann')
    # Nor read where the guard keeps it, nor the password's hash.
    for path in (os.path.join(world.env['STATE_DIRECTORY'], f'{uid}.conf'),
                 world.lock_file.replace('.conf', '.hash')):
        assert os.path.exists(path), path
        reading = subprocess.run(['setpriv', f'--reuid={uid}', f'--regid={uid}',
                                  '--clear-groups', 'cat', path], capture_output=True)
        assert reading.returncode != 0 and not reading.stdout, path
    assert world.call(uid, 'Stop', PASSWORD) == {'reply': []}
    assert not [line for line in others_window.lines if line.startswith('Turn')], \
        others_window.lines


def restarted_guard_goes_on(world, uid):
    started = start_turn(world, uid, 'Ben')
    wait_for(lambda: world.call(uid, 'Turn')['reply'][2] >= 3, 'three seconds of the turn')
    world.guard.kill()
    world.guard.wait()
    world.start_guard()
    state, _, elapsed, child, _ = world.call(uid, 'Turn')['reply']
    assert (state, child) == ('running', 'Ben'), (state, child)
    # Where the count was, not from 0 again, and never ahead of the clock.
    assert 3 <= elapsed <= time.monotonic() - started + 1, elapsed


def bad_starts_are_refused(world, uid):
    for child, error in [('x' * 41, 'InvalidArgument'), (' Ann', 'InvalidArgument'),
                         ('   ', 'InvalidArgument'), ('An\nn', 'InvalidArgument'),
                         ('A\tnn', 'InvalidArgument'), ('\u202eAnn', 'InvalidArgument'),
                         ('An\u200bn', 'InvalidArgument'), ('An\u2028n', 'InvalidArgument'),
                         ('x' * 161, 'InvalidArgument'), ('Ann,Ben', None)]:
        result = world.call(uid, 'Start', child)
        if error:
            assert error_of(result) == ERROR + error, (child, result)
            assert world.call(uid, 'Turn')['reply'][0] == 'ready'
        else:
            assert result == {'reply': []}, (child, result)
            assert error_of(world.call(uid, 'Start', 'Cy')) == ERROR + 'InvalidArgument'
            assert world.call(uid, 'Stop', 'guess')['error'] == ERROR + 'WrongPassword'
            assert world.call(uid, 'Turn')['reply'][0] == 'running'
            assert world.call(uid, 'Stop', PASSWORD) == {'reply': []}


# --- Cases with a world of their own: each changes what every account of its world meets.

OUTSIDE_SECONDS = 60
MEMORY_MAX_MB = 160  # the unit's MemoryMax
BIG = 33_000_000  # letters in a call, as large as the system bus carries


def outside_turns(world, uid):
    """The lock names this account (and root, whom it never locks so) for outside turns."""
    name = pwd.getpwuid(uid).pw_name
    world.set_lock(['--length', '1', '--outside-turns', 'lock', '--account', name,
                    '--account', 'root'])
    session = world.session(uid)
    window = world.window(uid, verified=True)
    began = time.monotonic()
    wait_for(lambda: locked(world, session), 'the session locked before any turn', 120)
    assert time.monotonic() - began >= OUTSIDE_SECONDS - 5, 'locked before a minute'
    started = start_turn(world, uid)
    # A running turn lifts it: an unlock meanwhile stays unlocked.
    count = locked(world, session)
    world.set_locked_hint(session, True)
    world.set_locked_hint(session, False)
    wait_for(window.shown, 'the time\'s up', 180)
    ended = time.monotonic()
    assert locked(world, session) == count, 'locked during the turn'
    # Its time's up is shown, and still no turn runs: locked a minute after the end.
    wait_for(lambda: locked(world, session) > count, 'the session locked after the turn', 120)
    assert time.monotonic() - ended >= OUTSIDE_SECONDS - 5, 'locked before a minute'
    # Each unlock gives another minute.
    count = locked(world, session)
    world.set_locked_hint(session, True)
    world.set_locked_hint(session, False)
    time.sleep(20)
    assert locked(world, session) == count, 'locked again within 20 s of an unlock'
    assert world.guard_says('administrator\'s: root'), 'root is never locked outside turns'
    del started


def stalled_logind_is_waited_out(world, uid):
    """logind stops answering at the end of the turn: the guard locks once it answers."""
    session = world.session(uid)
    started = start_turn(world, uid)
    time.sleep(max(0.0, started + TURN_SECONDS - 1 - time.monotonic()))
    world.logind_process.send_signal(signal.SIGSTOP)
    try:
        time.sleep(UNSEEN_SECONDS + 15)
    finally:
        world.logind_process.send_signal(signal.SIGCONT)
    resumed = time.monotonic()
    wait_for(lambda: locked(world, session), 'the session to be locked', 60)
    assert time.monotonic() - resumed <= 20 + 5, 'the lock came long after logind answered'


def large_calls_leave_it_answering(world, uid):
    """Five callers send the largest calls the bus carries while a turn ends."""
    session = world.session(uid)
    started = start_turn(world, uid)
    time.sleep(max(0.0, started + TURN_SECONDS - 3 - time.monotonic()))
    callers = [subprocess.Popen(world.as_user(world.other_account(n), 'call', 'CheckPassword',
                                              json.dumps({'x': BIG})),
                                env=world.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
               for n in (1, 2, 1, 2, 1)]
    for caller in callers:
        out, _ = caller.communicate(timeout=600)
        assert error_of(json.loads(out)) == ERROR + 'InvalidArgument', out[:200]
    asked = time.monotonic()
    assert world.call(world.other_account(3), 'Turn')['reply'][0] == 'ready'
    assert time.monotonic() - asked <= 5, 'another account waited more than 5 s'
    wait_for(lambda: locked(world, session), 'the session to be locked',
             max(1.0, started + TURN_SECONDS + 60 - time.monotonic()))
    peak = world.guard_rss_kb('VmHWM') / 1024
    print(f'  the guard at its peak: {peak:.0f} MB')
    assert peak <= MEMORY_MAX_MB, f'{peak:.0f} MB at the peak'


def lock_removed_mid_turn(world, uid):
    """The administrator removes the lock during a turn: the turn is the program's again."""
    session = world.session(uid)
    window = world.window(uid, verified=True)
    started = start_turn(world, uid)
    time.sleep(5)
    os.remove(world.lock_file)
    wait_for(lambda: 'Released' in window.lines, 'the window to hear that the lock is lifted')
    assert error_of(world.call(uid, 'Turn')) == ERROR + 'NotLocked'
    after_the_end(started)
    assert locked(world, session) == 0 and window.shown() == 0
    world.set_lock(['--length', '1'])
    assert world.call(uid, 'Turn')['reply'][0] == 'ready'


def rules_set_through_polkit(world, uid):
    """A parent changes the family's rules: polkit decides, and the guard writes the lock
    as turnkeeper-lock writes it."""
    name = pwd.getpwuid(uid).pw_name
    rules = {'Length': {'u': 1800}, 'Break': {'u': 900}, 'OutsideTurns': {'s': 'lock'},
             'Accounts': {'as': [name]}, 'Children': {'as': ['Ann', 'Ben']},
             'Allowance': {'a{su}': {'Ann': 3600}}, 'Password': {'s': 'new parent'}}

    def contents(path):
        with open(path, 'rb') as f:
            return f.read()
    before = contents(world.lock_file)
    world.start_polkit([])
    assert error_of(world.call(uid, 'SetRules', {'a{sv}': rules})) == ERROR + 'NotAuthorized'
    world.start_polkit(['io.github.turnkeeper.set-rules'])
    for bad in [{'Length': {'u': 30}}, {'Break': {'u': 90}}, {'Children': {'as': ['An\tn']}},
                {'Allowance': {'a{su}': {'Cy': 60}}}, {'Locked': {'u': 1}},
                {'Colour': {'s': 'red'}}, {'OutsideTurns': {'s': 'never'}},
                {'OutsideTurns': {'s': 'lock'}, 'Accounts': {'as': ['no-such-account-here']}},
                {'Children': {'as': ['x' * 161]}}, {'Allowance': {'a{ss}': {'Ann': '1'}}}]:
        result = world.call(uid, 'SetRules', {'a{sv}': bad})
        assert error_of(result) == ERROR + 'InvalidArgument', (bad, result)
    assert contents(world.lock_file) == before, 'a refused change wrote the lock'
    assert world.call(uid, 'SetRules', {'a{sv}': rules}) == {'reply': []}
    # Byte for byte what turnkeeper-lock writes for the same rules.
    tool = os.path.join(world.dir, 'tool', 'TurnKeeper.conf')
    subprocess.run([world.lock_tool, '--lock-file', tool, '--guard-bus', world.address,
                    '--length', '30', '--break', '15', '--outside-turns', 'lock', '--account',
                    name, '--children', 'Ann, Ben', '--allowance', 'Ann=60'], input=b'x\n',
                   check=True, stdout=subprocess.DEVNULL)
    assert contents(world.lock_file) == contents(tool)
    assert os.stat(world.lock_file.replace('.conf', '.hash')).st_mode & 0o777 == 0o600
    assert world.call(uid, 'CheckPassword', 'new parent') == {'reply': [True]}
    [given] = world.call(world.other_account(), 'Rules')['reply']
    assert (given['Length'], given['Children'], given['Allowance']) == \
        (1800, ['Ann', 'Ben'], {'Ann': 3600}) and 'Password' not in given, given
    assert world.call(uid, 'SetRules', {'a{sv}': {'Locked': {'b': False}}}) == {'reply': []}
    assert not os.path.exists(world.lock_file)
    assert error_of(world.call(uid, 'Turn')) == ERROR + 'NotLocked'


def restart_and_reboot_keep_it(world, uid):
    """The guard killed and started again, its files from another boot: what stands stays."""
    session = world.session(uid)
    started = start_turn(world, uid)
    after_the_end(started, margin=0)
    wait_for(lambda: locked(world, session), 'the session to be locked', 60)
    # Wrong passwords until the next try must wait 16 s.
    for pause in (0, 0, 0, 0, 1.1, 2.1, 4.1, 8.1):
        time.sleep(pause)
        assert world.call(uid, 'CheckPassword', 'guess') == {'reply': [False]}
    world.guard.kill()
    world.guard.wait()
    state = os.path.join(world.env['STATE_DIRECTORY'], f'{uid}.conf')
    with open(state) as f:
        text = f.read()
    with open(state, 'w') as f:
        f.write(text.replace('Boot=', 'Boot=another-') if 'Boot=' in text else text)
    count = locked(world, session)
    world.start_guard()
    back = time.monotonic()
    assert error_of(world.call(uid, 'CheckPassword', PASSWORD)) == ERROR + 'TooManyTries'
    assert world.call(uid, 'Turn')['reply'][0] == 'timeup'
    wait_for(lambda: locked(world, session) > count, 'the session to be locked again', 60)
    assert time.monotonic() - back <= 20 + 2, 'locked again more than 20 s after'


CASES = [
    ('200 wrong passwords are slowed down', wrong_passwords_are_slowed_down),
    ('another account tries on its own', another_account_tries_on_its_own),
    ('garbage arguments get errors', garbage_arguments_get_errors),
    ('10,000 quick calls and a 10 MB string leave it small',
     quick_calls_and_huge_strings_leave_it_small),
    ('a changed lock is followed without a restart', a_changed_lock_is_followed),
    ('bad starts are refused', bad_starts_are_refused),
    ('another account cannot see or stop the turn', another_account_cannot_see_or_stop_it),
    ('a program killed mid-turn: locked', killed_program_is_locked),
    ('a program stopped with SIGSTOP: locked', stopped_program_is_locked),
    ('a program alive: not locked', live_program_is_not_locked),
    ('unlocked again while unseen: locked again', unlocked_session_is_locked_again),
    ('a new start shows the time\'s up: no more locks', new_program_shows_it_and_locking_stops),
    ('sessions opened while unseen: locked too', later_sessions_are_locked),
    ('the guard killed and restarted mid-turn goes on', restarted_guard_goes_on),
    ('the record of turns holds the turn, for its account alone', record_holds_the_turn),
]

# Each in a world of its own, beside the others.
ALONE = [
    ('outside turns: locked a minute after no turn runs, never during one', outside_turns),
    ('logind stalled at the end of a turn: locked once it answers', stalled_logind_is_waited_out),
    ('five calls of 33 MB as a turn ends: others answered, the turn locked, memory bounded',
     large_calls_leave_it_answering),
    ('the lock removed mid-turn: nothing locked at its end', lock_removed_mid_turn),
    ('the rules set by an administrator through polkit, as turnkeeper-lock writes them',
     rules_set_through_polkit),
    ('the guard restarted, its files from another boot: the time\'s up and the wrong '
     'passwords stand', restart_and_reboot_keep_it),
]


def run_alone(name, case, results):
    """A case in a world of its own, in a thread of its own."""
    world = None
    try:
        world = World(GUARD, LOCK_TOOL, POLICY)
        case(world, world.accounts()[0])
        results[name] = None
    except Exception:
        results[name] = traceback.format_exc()
        if world:
            world.print_guard_log()
    finally:
        if world:
            world.close()


def main():
    if os.geteuid() != 0:
        print('SKIP: the guard runs as root, and its clients as other users')
        return SKIP
    chosen = sys.argv[4:]
    if chosen:
        for cases in (CASES, ALONE):
            cases[:] = [case for case in cases if any(text in case[0] for text in chosen)]
    alone = {}
    threads = [threading.Thread(target=run_alone, args=(name, case, alone))
               for name, case in ALONE]
    for thread in threads:
        thread.start()
    failed = run_together() if CASES else 0
    for thread in threads:
        thread.join()
    for name, problem in alone.items():
        print(f'PASS: {name}' if not problem else f'FAIL: {name}\n{problem}')
        failed += bool(problem)
    total = len(CASES) + len(ALONE)
    print(f'{total - min(failed, total)} of {total} passed')
    return 1 if failed else 0


def run_together():
    """The cases that share a world; the number that failed."""
    world = World(GUARD, LOCK_TOOL, POLICY)
    failed = 0
    waiting = []
    try:
        accounts = world.accounts()
        assert len(accounts) >= len(CASES) + 2, 'too few accounts on this machine'
        for uid, (name, case) in zip(accounts, CASES):
            try:
                result = case(world, uid)
                if hasattr(result, '__next__'):
                    next(result)
                    waiting.append((name, result))
                    continue
                print(f'PASS: {name}')
            except Exception:
                failed += 1
                print(f'FAIL: {name}\n{traceback.format_exc()}')
        for name, rest in waiting:
            try:
                next(rest, None)
                print(f'PASS: {name}')
            except Exception:
                failed += 1
                print(f'FAIL: {name}\n{traceback.format_exc()}')
        assert world.guard_alive(), 'the guard is gone'
    except Exception:
        failed += 1
        print(f'FAIL: the suite\n{traceback.format_exc()}')
    finally:
        if failed:
            world.print_guard_log()
        world.close()
    return failed


if __name__ == '__main__':
    sys.exit(main())
