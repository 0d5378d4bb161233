"""The accessibility bus of a test's own D-Bus session, and the real program read through it.

Run inside `dbus-run-session`: start() launches the session's AT-SPI bus and registry, as a
desktop does, and fails loudly when they cannot start; nothing is ever skipped.
"""
import os
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
# Generous: CI is a busy two-core machine.
PATIENCE = 60.0


def fail(message):
    print("ÉCHEC : " + message, file=sys.stderr, flush=True)
    raise SystemExit(1)


def pump(seconds):
    """Lets the bus deliver its events for this long."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if not context.iteration(False):
            time.sleep(0.005)


def wait_for(what, condition, patience=PATIENCE):
    end = time.monotonic() + patience
    while time.monotonic() < end:
        try:
            found = condition()
        except Exception:  # an object that went away meanwhile
            found = None
        if found:
            return found
        pump(0.05)
    fail("%s : rien après %.0f s" % (what, patience))


class Session:
    def __init__(self):
        self.processes = []

    def start_bus(self):
        if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            fail("pas de session D-Bus : lancer sous dbus-run-session")
        if not os.path.exists(LAUNCHER):
            fail(LAUNCHER + " manque (paquet at-spi2-core)")
        self.processes.append(subprocess.Popen([LAUNCHER, "--launch-immediately"]))
        wait_for("le registre AT-SPI", lambda: Atspi.get_desktop(0) is not None)

    def start_program(self, command, extra_env=None):
        env = dict(os.environ)
        # A home of its own: no séance of an earlier run offered back, no user's settings.
        home = tempfile.mkdtemp(prefix="thermo-atspi-")
        env.update({"QT_QPA_PLATFORM": "xcb", "LANG": "fr_FR.UTF-8", "LC_ALL": "",
                    "XDG_DATA_HOME": home + "/data", "XDG_CONFIG_HOME": home + "/config"})
        env.update(extra_env or {})
        program = subprocess.Popen(command, env=env)
        self.processes.append(program)
        return program

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()


def application(name="thermometre"):
    def found():
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        return None

    return wait_for("l'application " + name, found)


def descendants(root):
    stack = [root]
    while stack:
        node = stack.pop()
        yield node
        try:
            stack.extend(child for child in node if child is not None)
        except Exception:
            pass


def find(root, role, name=None, showing=True):
    """The first object of this role (and name), showing unless said otherwise."""
    for node in descendants(root):
        try:
            if node.getRole() != role or (name is not None and node.name != name):
                continue
            if showing and not node.getState().contains(pyatspi.STATE_SHOWING):
                continue
            return node
        except Exception:
            continue
    return None


def wait_find(what, root, role, name=None):
    return wait_for(what, lambda: find(root, role, name))


def label_of(node):
    """What a screen reader says as the object's label: its labels' names, else its name."""
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                names.append(relation.getTarget(i).name)
    return " ".join(names) or node.name


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def attribute_runs(node):
    """The text's attribute runs, as Orca walks them to build a line."""
    text = node.queryText()
    runs, offset = [], 0
    while offset < text.characterCount:
        _, start, end = text.getAttributeRun(offset, False)
        runs.append((start, end))
        offset = max(end, offset + 1)
    return runs


def cpu_seconds(process):
    """The processor time the process has used so far, user and system."""
    with open("/proc/%d/stat" % process.pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


class EventCount:
    """Every event the program sends, as a screen reader registered for all of them gets it."""

    TYPES = ("object:", "window:", "focus:")

    def __init__(self, app):
        self.app = app
        self.events = []
        self.sources = []
        self.listener = pyatspi.Registry.registerEventListener(self._take, *self.TYPES)

    def _take(self, event):
        try:
            if event.host_application != self.app and event.source.getApplication() != self.app:
                return
            name = event.source.name
        except Exception:
            name = "?"
        kind = event.type
        if kind.startswith("object:state-changed:"):
            kind += "=%d" % event.detail1  # shown or hidden, focused or not
        self.events.append((time.monotonic(), kind, name))
        self.sources.append(event.source)

    def during(self, seconds):
        """The events of the next `seconds`."""
        start = len(self.events)
        pump(seconds)
        return self.events[start:]


def choose_in_menu(count, item, open_keys=("Menu",)):
    """Opens the focused control's menu from the keyboard and chooses an item by its name:
    the menu is found through the events of its items as it opens."""
    start = len(count.events)
    key(*open_keys)

    def entry():
        for node in count.sources[start:]:
            try:
                role = node.getRole()
                menu = node.parent if role == pyatspi.ROLE_MENU_ITEM else node
                if role in (pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_MENU, pyatspi.ROLE_POPUP_MENU):
                    found = find(menu, pyatspi.ROLE_MENU_ITEM, item, showing=False)
                    if found is not None:
                        return found
            except Exception:
                continue
        return None

    wait_for("« %s » dans le menu" % item, entry).queryAction().doAction(0)


def focus_window(title):
    """Gives the X keyboard focus to the window of this title: with no window manager, a menu
    closed leaves it nowhere, and keys pressed then reach no window."""
    subprocess.run(["xdotool", "search", "--name", "^%s$" % title, "windowfocus", "--sync"],
                   check=True)


def key(*names):
    subprocess.run(["xdotool", "key", "--delay", "100", *names], check=True)
