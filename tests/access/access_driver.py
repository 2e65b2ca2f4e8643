#!/usr/bin/python3
"""Drives a running `q208 --simulate` through the accessibility bus, as a screen reader or
a script would, and checks the effect through `q208ctl sim state`."""
import subprocess
import sys
import time

import pyatspi

CTL = sys.argv[1]


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def wait_until(what, probe, timeout=15.0):
    end = time.time() + timeout
    while time.time() < end:
        value = probe()
        if value:
            return value
        time.sleep(0.2)
    fail("timed out waiting for " + what)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "q208":
            return app
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def by_layout_name(app, name):
    for node in walk(app):
        if node.description == name:
            return node
    return None


def sim_state(kind):
    return subprocess.run([CTL, "sim", "state", kind], capture_output=True, text=True, check=True).stdout


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "press" not in names:
        fail(f"{node.description} offers {names}, no press")
    action.doAction(names.index("press"))


app = wait_until("the program on the accessibility bus", application)
print("application:", app.name)

# The device entries: radio buttons named after the devices.
def entries():
    return [n for n in walk(app) if n.getRole() == pyatspi.ROLE_RADIO_BUTTON and n.name.startswith("Q208 ")]


# The mouse, behind the receiver, comes once the receiver has found it linked.
wait_until("the mouse entry", lambda: any(e.name == "Q208 Mouse" for e in entries()))
print("devices:", ", ".join(e.name for e in entries()))
mouse = next(e for e in entries() if e.name == "Q208 Mouse")
states = mouse.getState()
if not states.contains(pyatspi.STATE_ENABLED) or not states.contains(pyatspi.STATE_SHOWING):
    fail("mouse entry is not enabled and showing: " + str(states.getStates()))

press(mouse)
wait_until("the mouse entry to be checked", lambda: mouse.getState().contains(pyatspi.STATE_CHECKED))
slider = wait_until("the mouse page's DPI slider", lambda: by_layout_name(app, "DPI_slider_1"))
if slider.getRole() != pyatspi.ROLE_SLIDER:
    fail("DPI_slider_1 is a " + slider.getRoleName())

# The slider: its range, then a new value read back and seen in the mouse's memory.
value = slider.queryValue()
print(f"slider {value.minimumValue}..{value.maximumValue} at {value.currentValue}")
before = sim_state("mouse")
target = value.minimumValue + 40 if value.currentValue != value.minimumValue + 40 else value.minimumValue + 50
value.currentValue = target
wait_until("the slider to read back its new value", lambda: slider.queryValue().currentValue == target)
wait_until("the mouse's memory to follow the slider", lambda: sim_state("mouse") != before)
print("slider now", slider.queryValue().currentValue)

# A combo: its items are children; pressing one selects it, as choosing it in the drop-down does.
combo = by_layout_name(app, "logo_led_mode_combo") or fail("no logo combo")
if combo.getRole() != pyatspi.ROLE_COMBO_BOX:
    fail("logo_led_mode_combo is a " + combo.getRoleName())
items = [c for c in combo]
if len(items) < 2:
    fail("the logo combo shows %d items" % len(items))
choice = next(i for i in items if i.name != combo.name)
before = sim_state("mouse")
press(choice)
wait_until("the combo to show " + choice.name, lambda: combo.name == choice.name)
wait_until("the mouse's memory to follow the combo", lambda: sim_state("mouse") != before)
print("combo now", combo.name)

# The profile buttons: the panel's menu button shows the profile actions, whose "new"
# button adds a profile to the mouse's list.
def profiles():
    out = subprocess.run([CTL, "--device", "mouse", "profile", "list"], capture_output=True, text=True).stdout
    return [line for line in out.splitlines() if line.strip()]


count = len(profiles())
press(by_layout_name(app, "profile_fun_spread_btn") or fail("no profile menu button"))
add = wait_until("the profile actions", lambda: by_layout_name(app, "device_add_btn"))
print("profile button:", add.name)
windows = app.childCount
press(add)
# The program asks first, in a dialog window of its own.
wait_until("the confirmation dialog", lambda: app.childCount > windows)
dialog = app[app.childCount - 1]
question = next((n for n in walk(dialog) if n.description == "MessageText"), None) or fail("no question")
print("dialog asks:", question.name)
press(next((n for n in walk(dialog) if n.description == "confirm_btn"), None) or fail("no confirm button"))
wait_until("a new mouse profile", lambda: len(profiles()) > count)
print("profiles:", len(profiles()))
print("PASS")
