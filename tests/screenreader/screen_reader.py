#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader meets in TurnKeeper, heard through AT-SPI as Orca hears it.

One table of cases; each starts the program afresh in a home folder of its own, drives
it as a person at the keyboard would (xdotool) or as a screen reader does (an AT-SPI
action), and waits with a generous deadline for what a screen reader reads. Usage:
screen_reader.py <TurnKeeper> <work folder> [words of the cases to run]
"""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PROGRAM, WORK = sys.argv[1], sys.argv[2]
DEADLINE = 30  # seconds; waited for in full only when something is wrong
PASSWORD = "playfairly"  # the default parent password
TYPED = "zqXw"  # typed into the prompt: no event may carry one of these
CHILDREN = "[Children]\nNames=Ann, Ben\nNext=Ann\n"

events = []  # (type, role, name, any_data, detail1), in the order they came


def on_event(event):
    try:
        role, name = event.source.getRole(), event.source.name
    except Exception:  # a source already gone
        role, name = None, None
    events.append((event.type, role, name, str(event.any_data), event.detail1))


def wait_for(condition, deadline=DEADLINE):
    """Lets events arrive until condition answers something true, or the deadline."""
    context, end = GLib.MainContext.default(), time.monotonic() + deadline
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        found = condition()
        if found:
            return found
        time.sleep(0.05)
    return None


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, check=True).stdout.split()


def search(*what):
    """The visible windows that xdotool finds, waited for."""
    return wait_for(lambda: subprocess.run(("xdotool", "search", "--onlyvisible") + what,
                                           capture_output=True, text=True).stdout.split())


def keys(*names):
    for name in names:
        run("xdotool", "key", "--clearmodifiers", name)
        wait_for(lambda: False, 0.2)


class Program:
    """The program in a fresh home folder with a settings file written by hand."""

    def __init__(self, settings):
        home = os.path.join(WORK, "case%d" % len(os.listdir(WORK)))
        os.makedirs(os.path.join(home, "TurnKeeper"))
        with open(os.path.join(home, "TurnKeeper", "TurnKeeper.conf"), "w") as file:
            file.write(settings)
        self.process = subprocess.Popen(
            [PROGRAM], cwd=os.path.dirname(PROGRAM), stdout=subprocess.DEVNULL,
            env=dict(os.environ, XDG_CONFIG_HOME=home, XDG_DATA_HOME=home + "/data",
                     QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
        desktop = pyatspi.Registry.getDesktop(0)
        self.app = wait_for(lambda: next((app for app in desktop if app
                                          and app.get_process_id() == self.process.pid), None))
        window = search("--name", "^TurnKeeper$")
        run("xdotool", "windowactivate", "--sync", window[0])
        # Keys go to the window once it knows itself active.
        frame = self.find(pyatspi.ROLE_FRAME, "TurnKeeper")
        wait_for(lambda: frame.getState().contains(pyatspi.STATE_ACTIVE))

    def find(self, role, name=None):
        return wait_for(lambda: pyatspi.findDescendant(
            self.app, lambda node: node and node.getRole() == role
            and name in (None, node.name)))

    def focused(self, role, name=None):
        found = self.find(role, name)
        return found if found and wait_for(
            lambda: found.getState().contains(pyatspi.STATE_FOCUSED)) else None

    def choose_first(self, menu_key, entry):
        """Opens a menu by its access key and chooses its first entry, which opens a window.
        The window manager may still be settling the focus after the last case and close
        the menu at once: then the menu is opened again."""
        for _ in range(3):
            keys(menu_key)
            self.focused(pyatspi.ROLE_MENU_ITEM, entry)
            keys("Return")
            if wait_for(lambda: self.app.childCount > 1, DEADLINE / 3):
                return

    def type_into_prompt(self, text):
        if self.focused(pyatspi.ROLE_PASSWORD_TEXT):
            run("xdotool", "type", "--delay", "80", text)
        return text

    def end(self):
        self.process.terminate()
        self.process.wait(timeout=DEADLINE)


def notification(text):
    """A notification that started showing with exactly this text."""
    return lambda: ("object:state-changed:showing", pyatspi.ROLE_NOTIFICATION, text) in [
        event[:3] for event in events if event[4]]


def turn(settings, spoken, elsewhere=False):
    def case(program):
        program.find(pyatspi.ROLE_MENU_ITEM, "Start Timer").queryAction().doAction(0)
        # Another program's window may have the keyboard when the time is up.
        other = subprocess.Popen(["xmessage", "another program"]) if elsewhere else None
        try:
            if other:
                run("xdotool", "windowactivate", search("--class", "xmessage")[0])
            return wait_for(notification(spoken)), "no notification %r" % spoken
        finally:
            if other:
                other.terminate()
                other.wait()
    return settings, case


def password_typed(program):
    program.choose_first("alt+r", "Security")  # the password prompt opens
    program.type_into_prompt(TYPED)
    box = program.find(pyatspi.ROLE_PASSWORD_TEXT)
    if not wait_for(lambda: box.queryText().characterCount == len(TYPED)):
        return False, "the prompt did not get the typed characters"
    wait_for(lambda: False, 1)
    carried = [event for event in events if event[0].startswith("object:text-changed")
               and set(TYPED) & set(event[3])]
    text = box.queryText().getText(0, -1)
    return not carried and not set(TYPED) & set(text), "sent %r, read %r" % (carried, text)


def set_time_arrows(program):
    program.choose_first("alt+t", "Set Time")  # the password prompt first
    program.type_into_prompt(PASSWORD)
    keys("Return")
    arrows = program.focused(pyatspi.ROLE_SPIN_BUTTON, "Timer length in minutes")
    if not arrows:
        return False, "no focused spin button named \"Timer length in minutes\""
    before = arrows.queryValue().currentValue
    keys("Up")
    changed = wait_for(lambda: ("object:property-change:accessible-value",
                                pyatspi.ROLE_SPIN_BUTTON) in [event[:2] for event in events])
    values = (before, arrows.queryValue().currentValue)
    return changed and values == (2, 3), "value change seen: %s, values %s" % (changed, values)


def running_bar(program):
    """The bar of a running turn read as a progress bar: seconds counted within the turn's
    length, the time left as its description, each new second heard as a new value."""
    program.find(pyatspi.ROLE_MENU_ITEM, "Start Timer").queryAction().doAction(0)
    bar = program.find(pyatspi.ROLE_PROGRESS_BAR, "Time left")
    if not bar:
        return False, "no progress bar named \"Time left\""
    moved = wait_for(lambda: ("object:property-change:accessible-value",
                              pyatspi.ROLE_PROGRESS_BAR) in [event[:2] for event in events])

    def read():  # the value and the text of one second, read again if a tick came between
        value = bar.queryValue()
        before, description, after = value.currentValue, bar.description, value.currentValue
        return before == after and (value.minimumValue, value.maximumValue, before, description)
    seen = wait_for(read)
    left = seen and divmod(600 - int(seen[2]), 60)
    return (moved and seen and seen[:2] == (0, 600) and seen[2] >= 1
            and seen[3] == "Ann: %d:%02d" % left), "value change seen: %s, read %s" % (moved, seen)


def security_names(program):
    program.choose_first("alt+r", "Security")
    program.type_into_prompt(PASSWORD)
    keys("Return")
    dialog = program.find(pyatspi.ROLE_DIALOG, "Modify Security Settings")
    names = dialog and sorted(box.name for box in pyatspi.findAllDescendants(
        dialog, lambda node: node.getRole() == pyatspi.ROLE_TEXT))
    return names == ["Current Password:", "New Password:", "Verify Password:"], names


CASES = [
    ("Start is said as a notification naming whose turn it is",
     *turn("[Settings]\nMaxTime=600\n" + CHILDREN, "Timer Started!\nAnn: 10:00")),
    ("Time's Up is said naming who is next, another program having the focus",
     *turn("[Settings]\nMaxTime=3\n" + CHILDREN, "Time's Up!\nNext: Ben", elsewhere=True)),
    ("no text-changed event carries a typed password character",
     "[Settings]\nMaxTime=600\n", password_typed),
    ("Set Time's arrows change the value of the focused spin button",
     "[Settings]\nMaxTime=120\n", set_time_arrows),
    ("the running bar reads seconds counted of its length, and the time left",
     "[Settings]\nMaxTime=600\n" + CHILDREN, running_bar),
    ("each Security box carries its own label's name", "[Settings]\nMaxTime=600\n",
     security_names),
]


def main():
    pyatspi.Registry.registerEventListener(on_event, "object:state-changed:showing",
                                           "object:text-changed",
                                           "object:property-change:accessible-value")
    failed = 0
    chosen = [case for case in CASES if all(word in case[0] for word in sys.argv[3:])]
    for description, settings, case in chosen:
        del events[:]
        program = None
        try:
            program = Program(settings)
            passed, reason = case(program)
        except Exception as error:  # a case that breaks fails alone
            passed, reason = False, "%s: %s" % (type(error).__name__, error)
        finally:
            if program:
                program.end()
        print("PASS: %s" % description if passed else "FAIL: %s (%s)" % (description, reason),
              flush=True)
        failed += not passed
    print("%d passed, %d failed" % (len(chosen) - failed, failed))
    return 1 if failed or not chosen else 0


if __name__ == "__main__":
    sys.exit(main())
