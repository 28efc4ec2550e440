#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A client of the guard, run by the integration suite as another user.

  client.py call METHOD [JSON_ARGS...]   one call; prints {"reply": [...]} or
                                         {"error": NAME, "message": TEXT}
  client.py repeat COUNT METHOD [JSON_ARGS...]   the same call COUNT times as fast as it goes;
                                         prints the count of each reply or error name
  client.py guesses COUNT WRONG RIGHT   COUNT wrong passwords as fast as it goes, then at once the
                                         right one; prints {"wrong": tally, "right": outcome}
  client.py own                          asks the bus for the guard's name; prints the outcome
  client.py window yes|no                attaches and answers ShowTimeUp with yes or no; prints
                                         "attached", then "shown" at each ShowTimeUp and the
                                         guard's signals as they come, flushed;
                                         attaches again to a guard started again

Read from its input instead (python3 alone on the command line, as the guard wants of a
window it believes), it takes its arguments from TURNKEEPER_CLIENT.
"""
import json
import os
import sys
from collections import Counter

import dbus
import dbus.service

NAME = 'io.github.turnkeeper.Guard1'
PATH = '/io/github/turnkeeper/Guard1'


def guard(bus):
    return dbus.Interface(bus.get_object(NAME, PATH, introspect=False), NAME)


TYPED = {'b': dbus.Boolean, 'u': dbus.UInt32, 's': dbus.String,
         'as': lambda v: dbus.Array(v, signature='s'),
         'ai': lambda v: dbus.Array(v, signature='i'),
         'a{su}': lambda v: dbus.Dictionary({k: dbus.UInt32(n) for k, n in v.items()},
                                           signature='su'),
         'a{ss}': lambda v: dbus.Dictionary(v, signature='ss')}


def typed(value):
    """{"x": N} stands for a text of N letters x, too long for a command line; {"a{sv}":
    {name: {TYPE: value}}} for a map of typed values, as the rules are given."""
    if not isinstance(value, dict):
        return value
    if 'x' in value:
        return 'x' * value['x']
    [(kind, inner)] = value.items()
    if kind == 'a{sv}':
        return dbus.Dictionary({name: typed(v) for name, v in inner.items()}, signature='sv')
    return TYPED[kind](inner)


def argument(text):
    """A JSON value, typed as typed() says."""
    return typed(json.loads(text))


def plain(value):
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, dict):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, list):
        return [plain(v) for v in value]
    return value


def outcome(method, args, **options):
    try:
        reply = method(*args, **options)
        if reply is None:
            reply = []
        elif not isinstance(reply, tuple):
            reply = [reply]
        return {'reply': [plain(value) for value in reply]}
    except dbus.exceptions.DBusException as error:
        return {'error': error.get_dbus_name(), 'message': error.get_dbus_message()}


def main():
    arguments = sys.argv[1:] or os.environ['TURNKEEPER_CLIENT'].split()
    mode = arguments[0]
    if mode == 'window':
        window(arguments[1] == 'yes')
        return
    bus = dbus.SystemBus()
    if mode == 'call':
        method, args = sys.argv[2], [argument(a) for a in sys.argv[3:]]
        print(json.dumps(outcome(getattr(guard(bus), method), args, timeout=60)))
    elif mode == 'guesses':
        count, wrong, right = int(sys.argv[2]), sys.argv[3], sys.argv[4]
        check = guard(bus).CheckPassword
        tally = Counter()
        for _ in range(count):
            result = outcome(check, [wrong], timeout=60)
            tally[result.get('error', json.dumps(result.get('reply')))] += 1
        print(json.dumps({'wrong': tally, 'right': outcome(check, [right], timeout=60)}))
    elif mode == 'own':
        print(json.dumps(outcome(bus.request_name, [NAME])))
    elif mode == 'repeat':
        count, method, args = int(sys.argv[2]), sys.argv[3], [argument(a) for a in sys.argv[4:]]
        tally = Counter()
        call = getattr(guard(bus), method)
        for _ in range(count):
            result = outcome(call, args, timeout=60)
            tally[result.get('error', json.dumps(result.get('reply')))] += 1
        print(json.dumps(tally))


def window(answer):
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SystemBus()

    class Window(dbus.service.Object):
        @dbus.service.method('io.github.turnkeeper.Window1', in_signature='', out_signature='b')
        def ShowTimeUp(self):
            print('shown', flush=True)
            return answer

    Window(bus, '/io/github/turnkeeper/Window')
    bus.add_signal_receiver(lambda child: print('TimeUp', child, flush=True),
                            signal_name='TimeUp', dbus_interface=NAME)
    bus.add_signal_receiver(lambda state, *_: print('TurnChanged', state, flush=True),
                            signal_name='TurnChanged', dbus_interface=NAME)
    bus.add_signal_receiver(lambda: print('Released', flush=True),
                            signal_name='Released', dbus_interface=NAME)
    guard(bus).Attach()
    print('attached', flush=True)

    # A guard started again knows nobody: attach to it as the program does.
    def owner_changed(owner):
        if owner:
            guard(bus).Attach()
            print('attached again', flush=True)
    bus.watch_name_owner(NAME, owner_changed)
    GLib.MainLoop().run()


if __name__ == '__main__':
    main()
