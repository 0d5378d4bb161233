"""The main window as a screen reader meets it on the accessibility bus, while the cooling
lesson runs on the simulated bench: the fields' roles and names, whole texts, old values said,
and how many events a second the program sends, steady, cooling and faulty.

    dbus-run-session -- /usr/bin/python3 atspi_check.py PROGRAM

Needs DISPLAY. Prints the transcript of events a second; exits 1 on the first fault found.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from atspi_session import (  # noqa: E402
    EventCount, Session, application, attribute_runs, choose_in_menu, cpu_seconds, fail, find,
    focus_window, key, label_of,
    pump, pyatspi, text_of, wait_find, wait_for,
)

# At most this many events a second while the readings go on, whichever field has the focus.
MOST_PER_SECOND = 2.0
TEMPERATURE = "Température calculée, en degrés Celsius"
WINDOW = "Thermomètre avec une thermistance"
READING_FIELDS = {  # accessible name: what its label says, unit included
    "Code décimal": "Code décimal",
    "Code hexadécimal": "Code hexadécimal",
    "Code binaire": "Code binaire",
    "Tension Uth, en volts": "Tension Uth, en volts",
    "Tension Ut, en volts": "Tension Ut, en volts",
    TEMPERATURE: TEMPERATURE,
}


def check(condition, message):
    if not condition:
        fail(message)


def check_whole(node):
    text = text_of(node)
    runs = attribute_runs(node)
    check(runs == [(0, len(text))],
          "« %s » (%s) : les attributs du texte vont par %s, pas d'un bloc"
          % (node.name, text, runs))


def rate(phase, events, seconds, cpu=None):
    per_second = len(events) / seconds
    kinds = {}
    for _, kind, name in events:
        kinds[(kind, name)] = kinds.get((kind, name), 0) + 1
    detail = ", ".join("%s %s ×%d" % (kind, name, n) for (kind, name), n in sorted(kinds.items()))
    share = "" if cpu is None else "%4.1f %% d'un cœur" % (100 * cpu / seconds)
    print("%-50s %5.1f événements/s %s  %s" % (phase, per_second, share, detail), flush=True)
    return per_second


def focus(node):
    focus_window(WINDOW)
    node.queryComponent().grabFocus()
    wait_for("le focus sur « %s »" % node.name,
             lambda: node.getState().contains(pyatspi.STATE_FOCUSED))
    pump(1.0)  # what the focus itself sends


def measured(count, seconds):
    """The events of the next `seconds`, and the processor time the program used meanwhile."""
    before = cpu_seconds(program)
    events = count.during(seconds)
    return events, cpu_seconds(program) - before


def quiet_phase(count, phase, seconds=5.0):
    events, cpu = measured(count, seconds)
    per_second = rate(phase, events, seconds, cpu)
    check(per_second <= MOST_PER_SECOND,
          "%s : %.1f événements/s, plus de %.0f" % (phase, per_second, MOST_PER_SECOND))


def announcements(events):
    return [name for _, kind, name in events
            if kind == "object:state-changed:showing=1" and name]


session = Session()
session.start_bus()
try:
    program = session.start_program([sys.argv[1]], {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
    app = application()
    count = EventCount(app)

    dialog = wait_find("la fenêtre des paramètres", app, pyatspi.ROLE_DIALOG,
                       "Paramètres de la CTN")
    for name in ("Résistance série R", "Paramètre A", "Paramètre B"):
        field = wait_find(name, dialog, pyatspi.ROLE_TEXT, name)
        check(field.getState().contains(pyatspi.STATE_EDITABLE), name + " n'est pas modifiable")
        check_whole(field)
    wait_find("Validation", dialog, pyatspi.ROLE_PUSH_BUTTON, "Validation").queryAction() \
        .doAction(0)
    window = wait_find("la fenêtre de mesure", app, pyatspi.ROLE_FRAME, WINDOW)

    fields = {}
    for name, label in READING_FIELDS.items():
        field = wait_find(name, window, pyatspi.ROLE_TEXT, name)
        wait_for("un texte dans « %s »" % name, lambda: text_of(field))
        state = field.getState()
        check(state.contains(pyatspi.STATE_READ_ONLY) and not state.contains(
            pyatspi.STATE_EDITABLE), name + " n'est pas en lecture seule")
        check(label_of(field) == label,
              "« %s » est dit « %s », pas « %s »" % (name, label_of(field), label))
        check_whole(field)
        fields[name] = field
    print("Champs de mesure : texte en lecture seule, nommés avec leur unité, lus d'un bloc")

    focus(fields[TEMPERATURE])
    quiet_phase(count, "Stable, le focus sur la température")
    focus(fields["Code décimal"])
    quiet_phase(count, "Stable, le focus sur le code décimal")

    bench = wait_find("la case du banc", window, pyatspi.ROLE_SPIN_BUTTON, "Température simulée")
    bench.queryValue().currentValue = 60.0
    focus(bench)
    choose_in_menu(count, "Refroidissement vers 20 °C")
    pump(1.0)
    focus(fields[TEMPERATURE])
    seconds = 8.0
    events, cpu = measured(count, seconds)
    said = announcements(events)
    per_second = rate("Refroidissement, le focus sur la température", events, seconds, cpu)
    check(per_second <= MOST_PER_SECOND, "refroidissement : %.1f événements/s" % per_second)
    check(2 <= len(said) <= seconds / 2 + 1,
          "refroidissement : %d températures dites en %.0f s : %s" % (len(said), seconds, said))
    print("  dites : " + ", ".join(said))
    focus(fields["Tension Uth, en volts"])
    quiet_phase(count, "Refroidissement, le focus sur Uth")
    focus(bench)
    quiet_phase(count, "Refroidissement, le focus sur la case du banc")

    start = len(count.events)
    # A menu opened again tells AT-SPI nothing of its items: chosen as a student does, with
    # the arrows from its first item ("Simulation"), and known chosen by what is announced.
    key("Menu")
    pump(2.0)
    key(*(["Down"] * 6), "Return")
    wait_for("l'annonce de la panne",
             lambda: "Interface débranchée : aucune mesure" in announcements(
                 count.events[start:]))
    pump(1.0)
    rate("Passage en panne (menu compris)", count.events[start:], 1.0)
    focus(fields["Tension Uth, en volts"])
    quiet_phase(count, "En panne, le focus sur Uth")
    for name in READING_FIELDS:
        if name != TEMPERATURE:
            description = fields[name].description
            check(description.startswith("Ancienne valeur"),
                  "« %s », en panne : « %s »" % (name, description))
    print("En panne, les valeurs anciennes sont dites « Ancienne valeur »")
finally:
    session.stop()
