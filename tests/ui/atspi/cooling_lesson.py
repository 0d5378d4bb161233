#!/usr/bin/python3
"""The cooling lesson done with the keyboard alone, as a screen reader meets it.

Drives the real program through X keyboard events (xdotool) and listens to what it tells the
accessibility bus (AT-SPI, with pyatspi): where the focus goes, what each control is called
and says, what is announced. Writes the transcript to the file named by the first argument;
given a folder as the second, leaves there pictures of the curve window (ImageMagick's
import): refroidissement.png once Newton's law is fitted, courbe.png at the end, with two
models, the tangent, two cursors and a note. Stops with a non-zero status, saying why, when
the program does not tell what a blind student needs.

Run by run_lesson.sh, which starts the program on a private bus.
"""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

LIMIT = 60  # seconds for anything to happen, however loaded the machine
# xdotool reads and types UTF-8 in a UTF-8 locale, whatever language the program speaks.
XDOTOOL = dict(os.environ, LC_ALL="C.UTF-8")


def xdotool(*arguments, check=True):
    return subprocess.run(["xdotool", *arguments], check=check, env=XDOTOOL,
                          capture_output=True, text=True, timeout=LIMIT).stdout


class Lesson:
    def __init__(self, transcript):
        self.out = open(transcript, "w", encoding="utf-8")
        self.focus = None
        self.heard = []  # what the program said since the last keys were pressed
        self.written = 0  # of those, how many are in the transcript
        for event in ("object:state-changed:focused", "object:state-changed:showing",
                      "object:property-change:accessible-description",
                      "object:property-change:accessible-name"):
            pyatspi.Registry.registerEventListener(self.on_event, event)

    def write(self, line):
        self.out.write(line + "\n")
        self.out.flush()

    def on_event(self, event):
        try:
            source = event.source
            role = source.getRoleName()
            name = source.name or ""
        except Exception:  # gone meanwhile
            return
        if event.type == "object:state-changed:focused" and event.detail1:
            self.focus = source
            self.heard.append(f"focus : {role} « {name} »" +
                              (f" ({source.description})" if source.description else ""))
        elif event.type == "object:state-changed:showing" and event.detail1 and \
                role == "notification" and name:
            # The words are read when the event is: a notice that spoke twice meanwhile
            # ("Modélisation en cours…", then the model) reads as its last words, once.
            if not self.heard or self.heard[-1] != f"annonce : {name}":
                self.heard.append(f"annonce : {name}")
        elif event.type.endswith("accessible-description") and source == self.focus:
            self.heard.append(f"description : {source.description}")

    def pump(self, seconds=0.05):
        context = GLib.MainContext.default()
        end = time.time() + seconds
        while True:
            while context.iteration(False):
                pass
            if time.time() >= end:
                return
            time.sleep(0.01)

    def until(self, condition, what):
        end = time.time() + LIMIT
        while not condition():
            if time.time() > end:
                self.fail(f"rien après {LIMIT} s : {what}")
            self.pump(0.1)
        self.flush()

    def flush(self):
        for line in self.heard[self.written:]:
            self.write("  " + line)
        self.written = len(self.heard)

    def fail(self, why):
        self.flush()
        self.write(f"ÉCHEC : {why}")
        sys.exit(f"ÉCHEC : {why}")

    def keys(self, *keys, say=None):
        """Presses the keys, then notes what they were and what was heard."""
        self.flush()
        self.heard = []
        self.written = 0
        self.write("")
        self.write("▶ " + (say or " ".join(keys)))
        for key in keys:
            xdotool("key", "--clearmodifiers", key)
            self.pump(0.15)
        self.pump(0.3)
        self.flush()

    def type(self, text):
        self.flush()
        self.write("")
        self.write(f"▶ tape « {text} »")
        xdotool("type", "--delay", "40", text)
        self.pump(0.3)

    def focused(self, name, role=None):
        f = self.focus
        try:
            return f is not None and f.name == name and (role is None or f.getRoleName() == role)
        except Exception:
            return False

    def tab_to(self, name, role=None, back=False):
        for _ in range(40):
            if self.focused(name, role):
                return
            self.keys("shift+Tab" if back else "Tab")
        self.fail(f"la tabulation n'atteint pas « {name} »")

    def expect(self, condition, why):
        if not condition:
            self.fail(why)


def find(node, role, name=None, depth=0):
    if node is None or depth > 12:
        return None
    try:
        if node.getRoleName() == role and (name is None or node.name == name):
            return node
        children = list(node)
    except Exception:
        return None
    for child in children:
        found = find(child, role, name, depth + 1)
        if found is not None:
            return found
    return None


def focused_in(node, depth=0):
    """The object that has the focus, asked of the tree."""
    if node is None or depth > 12:
        return None
    try:
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            return node
        children = list(node)
    except Exception:
        return None
    for child in children:
        found = focused_in(child, depth + 1)
        if found is not None:
            return found
    return None


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "thermometre":
            return app
    return None


def picture(lesson, name):
    if len(sys.argv) > 2:
        lesson.pump(1)  # drawn
        # The screen, cut to what is drawn on it: the program's windows on the black of a
        # server with no window manager, where a window's own picture may come out blank.
        path = os.path.join(sys.argv[2], name)
        subprocess.run(["import", "-window", "root", path], check=True)
        subprocess.run(["convert", path, "-bordercolor", "black", "-border", "1", "-trim",
                        "+repage", path], check=True)


def give_keyboard(lesson, title, pattern):
    """What a window manager does when a window opens or a dialog closes: the keyboard to the
    window whose title matches `pattern`."""
    windows = []
    # Only the program's own windows: other programs may show the same titles on this X server.
    mine = ["--pid", os.environ["THERMO_PID"]] if "THERMO_PID" in os.environ else []
    lesson.until(lambda: windows.extend(xdotool("search", *mine, "--name", pattern,
                                                check=False).split()) or windows,
                 f"la fenêtre « {title} »")
    xdotool("windowfocus", windows[-1], check=False)
    lesson.pump(0.5)
    lesson.write(f"  (le gestionnaire de fenêtres donne le clavier à « {title} »)")
    lesson.flush()


def give_back_keyboard(lesson):
    give_keyboard(lesson, "Courbe de température", "^Courbe de temp")


def main():
    lesson = Lesson(sys.argv[1])
    lesson.write("Leçon de refroidissement au clavier seul : ce que Thermomètre dit par AT-SPI.")
    lesson.write("▶ = touches pressées ; en dessous, ce que le programme a signalé.")
    lesson.write(time.strftime("Faite le %d/%m/%Y avec tests/ui/atspi/run_lesson.sh, sous Xvfb."))
    lesson.until(lambda: program() is not None and find(program(), "dialog") is not None,
                 "le programme n'apparaît pas sur le bus d'accessibilité")
    app = program()
    # Without a window manager, each window gets the keyboard as one would give it.
    give_keyboard(lesson, "Paramètres de la CTN", "CTN")
    # A dialog shown at once may give its field the focus before the bus carries its events to
    # this listener: the focus is then asked of the tree, as a screen reader does on a new window.
    def r_has_focus():
        if not lesson.focused("Résistance série R"):
            lesson.focus = focused_in(app) or lesson.focus
        return lesson.focused("Résistance série R")
    lesson.until(r_has_focus, "le champ R n'a pas le focus")

    lesson.tab_to("Validation", "push button")
    lesson.keys("space")
    lesson.until(lambda: lesson.focused("Température simulée"), "la fenêtre de mesure")

    # The bench set to 80 °C at once, then left to cool: the jump and the cooling of the issue.
    lesson.keys("ctrl+a")
    lesson.type("80")
    lesson.keys("Return")
    lesson.keys("Menu", say="Menu (menu du banc)")
    for _ in range(20):
        if lesson.focused("Refroidissement vers 20 °C", "menu item"):
            break
        lesson.keys("Down")
    lesson.expect(lesson.focused("Refroidissement vers 20 °C"), "pas de refroidissement au menu")
    lesson.keys("Return")

    lesson.keys("ctrl+g")
    give_back_keyboard(lesson)
    curve = find(app, "frame", "Courbe de température")
    lesson.expect(curve is not None, "la fenêtre de la courbe n'est pas un cadre (frame)")
    plot_name = "Courbe de température"
    lesson.tab_to(plot_name, "chart")
    plot = lesson.focus
    # Half a minute of cooling recorded, as the cursor at the last reading says.
    pressed = [0.0]
    def cooled():  # End now and then, until the last reading is 35 s in
        if time.time() - pressed[0] < 5:
            return False
        pressed[0] = time.time()
        lesson.keys("End")
        text = plot.description
        return text.startswith("t = ") and float(text[4:].split(" ")[0].replace(",", ".")) > 35
    lesson.until(cooled, "trente-cinq secondes de mesures")
    value = plot.queryValue().currentValue
    lesson.write(f"  valeur de la courbe : {value}")
    lesson.expect(0 < value < 80, "la valeur de la courbe n'est pas la température du curseur")

    # "Tout voir" then Newton over everything: the jump is left aside, and said.
    lesson.tab_to("Tout voir", back=True)
    lesson.keys("space")
    lesson.tab_to("Modéliser", "push button")
    lesson.keys("space")
    lesson.until(lambda: any("Modèle 1" in h or "refusé" in h for h in lesson.heard),
                 "la réponse du modèle")
    lesson.expect(any(h.startswith("annonce : Saut de 25,0 à ") and "Modèle 1 : Loi de Newton" in h
                      for h in lesson.heard), "le saut du banc n'est pas dit")
    lesson.expect(lesson.focused("Modéliser"), "le focus a quitté « Modéliser »")
    picture(lesson, "refroidissement.png")

    # An affine model on the last ten seconds, picked with Shift and the arrows.
    lesson.tab_to(plot_name, "chart", back=True)
    lesson.keys("End", "shift+Next", say="Fin, Maj+Page suivante")
    lesson.tab_to("Loi de Newton", "combo box")
    lesson.keys("Down", "Down", say="Bas Bas (Affine)")
    lesson.tab_to("Modéliser", "push button")
    lesson.keys("space")
    lesson.until(lambda: any("Modèle 2" in h or "refusé" in h for h in lesson.heard),
                 "la réponse du second modèle")

    # The tangent at the cursor, and the two cursors.
    lesson.tab_to("Tangente", back=True)
    lesson.keys("space")
    lesson.tab_to(plot_name, "chart", back=True)
    lesson.keys("Home", "Prior", "Prior", say="Début, Page précédente ×2")
    lesson.expect("tangente pente" in plot.description, "la pente n'est pas dite")
    lesson.tab_to("Curseurs")
    lesson.keys("space")
    lesson.tab_to(plot_name, "chart", back=True)
    lesson.keys("Prior", "1", "Prior", "Prior", "2", say="Page précédente, 1, Page précédente ×2, 2")
    lesson.expect(any("Δt = " in h for h in lesson.heard), "les curseurs ne sont pas annoncés")

    # A note at the cursor.
    lesson.tab_to("Notes", "push button")
    lesson.keys("space")
    give_keyboard(lesson, "Notes de la courbe", "^Notes de la courbe")
    lesson.until(lambda: lesson.focused("Texte :") or (lesson.focus is not None and
                 lesson.focus.getRoleName() == "text"), "le champ de la note")
    lesson.type("couvercle retiré")
    lesson.keys("Return")
    lesson.expect(any("Note ajoutée" in h for h in lesson.heard), "la note n'est pas annoncée")
    lesson.keys("Escape")
    give_back_keyboard(lesson)

    # The summary, read line by line.
    lesson.tab_to("Résumé", "push button")
    lesson.keys("space")
    give_keyboard(lesson, "Résumé de la série", "^R.sum. de la s.rie")
    lesson.until(lambda: lesson.focused("Résumé de la série", "text"), "le résumé")
    text = lesson.focus.queryText()
    lesson.write("  texte du résumé :")
    for line in text.getText(0, text.characterCount).split("\n"):
        lesson.write("    " + line)
    lesson.keys("Escape")
    give_back_keyboard(lesson)
    picture(lesson, "courbe.png")
    lesson.write("")
    lesson.write("Fin de la leçon.")


main()
