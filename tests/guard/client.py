#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A client of the guard, run by the integration suite as another user.

  client.py call METHOD [JSON_ARGS...]   one call; prints {"reply": [...]} or
                                         {"error": NAME, "message": TEXT}
  client.py repeat COUNT METHOD [JSON_ARGS...]   the same call COUNT times as fast as it goes;
                                         prints the count of each reply or error name
  client.py own                          asks the bus for the guard's name; prints the outcome
  client.py window yes|no                attaches and answers ShowTimeUp with yes or no; prints
                                         "attached", then "shown" at each ShowTimeUp, flushed
"""
import json
import sys
from collections import Counter

import dbus
import dbus.service

NAME = 'io.github.turnkeeper.Guard1'
PATH = '/io/github/turnkeeper/Guard1'


def guard(bus):
    return dbus.Interface(bus.get_object(NAME, PATH, introspect=False), NAME)


def argument(text):
    """A JSON value; {"x": N} stands for a text of N letters x, too long for a command line."""
    value = json.loads(text)
    return 'x' * value['x'] if isinstance(value, dict) else value


def plain(value):
    return bool(value) if isinstance(value, dbus.Boolean) else value


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
    mode = sys.argv[1]
    if mode == 'window':
        window(sys.argv[2] == 'yes')
        return
    bus = dbus.SystemBus()
    if mode == 'call':
        method, args = sys.argv[2], [argument(a) for a in sys.argv[3:]]
        print(json.dumps(outcome(getattr(guard(bus), method), args, timeout=60)))
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
    guard(bus).Attach()
    print('attached', flush=True)
    GLib.MainLoop().run()


if __name__ == '__main__':
    main()
