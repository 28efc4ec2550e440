#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The guard as root on a private system-like bus, beside a stand-in logind, with the
lock it keeps and the means to call it as other accounts: what the integration suite
and the benchmark start."""
import json
import os
import pwd
import shutil
import subprocess
import tempfile
import threading
import time

import dbus

HERE = os.path.dirname(os.path.abspath(__file__))
NAME = 'io.github.turnkeeper.Guard1'
PASSWORD = 'parent pass'


def wait_for(condition, what, seconds=60):
    """Polls condition until it holds; fails after a deadline generous for slow machines."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError(f'gave up waiting for {what}')


PYTHON = os.path.realpath('/usr/bin/python3')


class World:
    """The bus, the stand-in logind, the lock and the guard, in a folder of their own
    that every account can enter. program is the program whose windows alone count for
    the guard: by default this machine's python3, which the stand-in windows run as."""

    def __init__(self, guard, lock_tool, policy, program=PYTHON):
        self.guard_program, self.lock_tool, self.program = guard, lock_tool, program
        self.dir = tempfile.mkdtemp(prefix='turnkeeper-guard.')
        os.chmod(self.dir, 0o755)
        self.processes = []
        self.client = os.path.join(self.dir, 'client.py')
        shutil.copy(os.path.join(HERE, 'client.py'), self.client)
        os.chmod(self.client, 0o644)
        policies = os.path.join(self.dir, 'system.d')
        os.mkdir(policies)
        shutil.copy(policy, policies)
        # Only for the stand-ins: root may own logind's and polkit's names and call them.
        with open(os.path.join(policies, 'stand-ins.conf'), 'w') as f:
            f.write('<busconfig><policy user="root">' + ''.join(
                f'<allow own="{name}"/><allow send_destination="{name}"/>'
                for name in ('org.freedesktop.login1', 'org.freedesktop.PolicyKit1')) +
                '</policy></busconfig>\n')
        self.policies = policies
        self.address = f'unix:path={os.path.join(self.dir, "bus")}'
        self.env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=self.address,
                        STATE_DIRECTORY=os.path.join(self.dir, 'state'))
        os.mkdir(self.env['STATE_DIRECTORY'], 0o700)
        self.start_bus('bus')
        self._spare = None
        self._spare_lock = threading.Lock()
        self.bus = dbus.bus.BusConnection(self.address)
        self.logind_process = self.spawn(
            ['/usr/bin/python3', '-m', 'dbusmock', '--system', '--template', 'logind'], 'logind')
        wait_for(lambda: self.bus.name_has_owner('org.freedesktop.login1'), 'the stand-in logind')
        self.logind = self.bus.get_object('org.freedesktop.login1', '/org/freedesktop/login1')
        self.polkit = None

        # Where a program started with XDG_CONFIG_DIRS=<config_dir> finds the lock.
        self.config_dir = os.path.join(self.dir, 'xdg')
        self.lock_file = os.path.join(self.config_dir, 'TurnKeeper', 'TurnKeeper.conf')
        self.set_lock(['--length', '1'])
        self.guard = None
        self.guard_log = os.path.join(self.dir, 'guard.log')
        self.start_guard()

    def spawn(self, command, log, **kwargs):
        with open(os.path.join(self.dir, log + '.log'), 'ab') as out:
            process = subprocess.Popen(command, env=self.env, stdout=out, stderr=out, **kwargs)
        self.processes.append(process)
        return process

    def start_bus(self, name):
        """A system-like bus with the project's policy, its socket in the world's folder;
        its address."""
        socket = os.path.join(self.dir, name)
        with open(socket + '.conf', 'w') as f:
            f.write(BUS_CONFIG.format(socket=socket, policies=self.policies))
        self.spawn(['dbus-daemon', '--config-file=' + socket + '.conf', '--nofork'], name)
        wait_for(lambda: os.path.exists(socket), f'the bus {name}')
        return f'unix:path={socket}'

    def spare_bus(self):
        """Another bus like the guard's, on which no guard runs; started at the first ask."""
        with self._spare_lock:
            if not self._spare:
                self._spare = self.start_bus('spare-bus')
            return self._spare

    def set_lock(self, options, lock_file=None, bus=None):
        """Writes the lock as an administrator would (the world's own unless another file
        is given), naming the test's bus (or the one given) as the guard's."""
        subprocess.run([self.lock_tool, '--lock-file', lock_file or self.lock_file,
                        '--guard-bus', bus or self.address] + options, check=True,
                       input=(PASSWORD + '\n').encode(), stdout=subprocess.DEVNULL)

    def start_guard(self):
        self.guard = self.spawn([self.guard_program, '--lock-file', self.lock_file, '--program',
                                 self.program], 'guard')
        wait_for(lambda: self.bus.name_has_owner(NAME), 'the guard on the bus')

    def guard_alive(self):
        return self.guard.poll() is None and self.bus.name_has_owner(NAME)

    def guard_rss_kb(self, field='VmRSS'):
        """The guard's resident memory now, or with VmHWM its peak since it started."""
        with open(f'/proc/{self.guard.pid}/status') as f:
            return next(int(line.split()[1]) for line in f if line.startswith(field + ':'))

    def print_guard_log(self, lines=40):
        """Prints what the guard said last, for a failed run."""
        with open(self.guard_log, errors='replace') as f:
            print('The guard said:\n' + ''.join(f.readlines()[-lines:]))

    def guard_says(self, text):
        with open(self.guard_log, errors='replace') as f:
            return sum(text in line for line in f)

    @staticmethod
    def accounts():
        """The machine's accounts other than root, one for each case and the last two for
        what other accounts try: the bus knows an account only when the system's user
        database does."""
        return sorted(entry.pw_uid for entry in pwd.getpwall() if entry.pw_uid != 0)

    def other_account(self, which=1):
        return self.accounts()[-which]

    def as_user(self, uid, *args):
        return ['setpriv', f'--reuid={uid}', f'--regid={uid}', '--clear-groups',
                '/usr/bin/python3', self.client] + [str(a) for a in args]

    def run(self, uid, *args):
        done = subprocess.run(self.as_user(uid, *args), env=self.env, capture_output=True,
                              timeout=600)
        if done.returncode != 0:
            raise AssertionError(f'client {args} failed: {done.stderr.decode()}')
        return json.loads(done.stdout)

    def call(self, uid, method, *args):
        return self.run(uid, 'call', method, *[json.dumps(a) for a in args])

    def window(self, uid, answer=True, verified=False, **environment):
        """A program of the account's that says it shows the time's up (or that it does
        not). A verified one runs as the guard's program would: python3 alone on its
        command line (the client comes on its input), on the account's display
        (display_of), with nothing in its environment but what is given here."""
        return Window(self, uid, answer, verified, environment)

    @staticmethod
    def display_of(uid):
        """The X display of the account's x11 session in the stand-in logind."""
        return f':{uid % 1000 + 100}'

    def start_polkit(self, allowed):
        """A stand-in polkit that authorises the actions allowed, and nothing else."""
        if not self.polkit:
            self.spawn(['/usr/bin/python3', '-m', 'dbusmock', '--system', '--template',
                        'polkitd'], 'polkit')
            wait_for(lambda: self.bus.name_has_owner('org.freedesktop.PolicyKit1'),
                     'the stand-in polkit')
            self.polkit = self.bus.get_object('org.freedesktop.PolicyKit1',
                                              '/org/freedesktop/PolicyKit1/Authority')
        self.polkit.SetAllowed(dbus.Array(allowed, signature='s'),
                               dbus_interface='org.freedesktop.DBus.Mock')

    def use_program(self, program):
        """The guard started again, believing the windows of program alone."""
        self.program = program
        self.guard.kill()
        self.guard.wait()
        self.start_guard()

    def session(self, uid, kind='x11', display=None):
        """A desktop session of the account in the stand-in logind, an x11 one on display
        (display_of(uid) unless given); its id."""
        session_id = f'{kind}{uid}'
        path = self.logind.AddSession(session_id, 'seat0', dbus.UInt32(uid), f'user{uid}', True,
                                      dbus_interface='org.freedesktop.DBus.Mock')
        self.bus.get_object('org.freedesktop.login1', path).UpdateProperties(
            'org.freedesktop.login1.Session',
            {'Type': kind, 'Display': (display or self.display_of(uid)) if kind == 'x11' else ''},
            dbus_interface='org.freedesktop.DBus.Mock')
        # As logind says it, once the session is there.
        self.logind.EmitSignal('org.freedesktop.login1.Manager', 'SessionNew', 'so',
                               [session_id, path], dbus_interface='org.freedesktop.DBus.Mock')
        return session_id

    def set_locked_hint(self, session_id, locked):
        self.bus.get_object('org.freedesktop.login1',
                            f'/org/freedesktop/login1/session/{session_id}').SetLockedHint(
            locked, dbus_interface='org.freedesktop.login1.Session')

    def calls_of(self, method, session_id):
        calls = self.logind.GetMethodCalls(method, dbus_interface='org.freedesktop.DBus.Mock')
        return sum(1 for _, args in calls if str(args[0]) == session_id)

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.kill()
            process.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


class Window:
    """The stand-in program: what it printed is collected as it comes."""

    def __init__(self, world, uid, answer, verified, environment):
        mode = 'window ' + ('yes' if answer else 'no')
        if verified:
            variables = dict(PATH='/usr/bin:/bin', DBUS_SYSTEM_BUS_ADDRESS=world.address,
                             DISPLAY=world.display_of(uid), TURNKEEPER_CLIENT=mode)
            variables.update(environment)
            with open(world.client, 'rb') as script:
                self.process = subprocess.Popen(
                    ['setpriv', f'--reuid={uid}', f'--regid={uid}', '--clear-groups', 'env', '-i'] +
                    [f'{key}={value}' for key, value in variables.items()] + [PYTHON],
                    stdin=script, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        else:
            self.process = subprocess.Popen(world.as_user(uid, *mode.split()), env=world.env,
                                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                            text=True)
        world.processes.append(self.process)
        self.lines = []
        threading.Thread(target=self._read, daemon=True).start()
        wait_for(lambda: 'attached' in self.lines or self.process.poll() is not None,
                 'the window to attach')
        assert 'attached' in self.lines, self.lines

    def _read(self):
        for line in self.process.stdout:
            self.lines.append(line.strip())

    def shown(self):
        return self.lines.count('shown')

    def signal(self, number):
        self.process.send_signal(number)


BUS_CONFIG = '''<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <auth>EXTERNAL</auth>
  <listen>unix:path={socket}</listen>
  <limit name="max_message_size">33554432</limit>
  <policy context="default">
    <allow user="*"/>
    <deny own="*"/>
    <deny send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
    <allow receive_type="signal"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"/>
    <allow send_destination="org.freedesktop.DBus"
           send_interface="org.freedesktop.DBus.Introspectable"/>
    <deny send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"
          send_member="UpdateActivationEnvironment"/>
  </policy>
  <includedir>{policies}</includedir>
</busconfig>
'''
