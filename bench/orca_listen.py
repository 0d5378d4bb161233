"""What Orca says of the program, keyboard only: the scenario of bench/orca_listen.sh.

    orca_listen.py PROGRAM WORK_DIR TRANSCRIPT

Run inside dbus-run-session, with DISPLAY and SPEECHD_ADDRESS set by the shell script.
"""
import os
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "support"))
from atspi_session import (  # noqa: E402
    Session, application, fail, find, key, pump, pyatspi, wait_find,
)

program, work, transcript_path = sys.argv[1:4]


class Transcript:
    """The transcript that bench/orca/speak.sh writes, read from a mark on."""

    def __init__(self, path):
        self.path = path

    def lines(self):
        with open(self.path, encoding="utf-8") as f:
            return f.read().splitlines()

    def mark(self, title):
        with open(self.path, "a", encoding="utf-8") as f:
            f.write("\n# %s\n" % title)
        return len(self.lines())

    def said_since(self, mark):
        """The utterances said in full since the mark."""
        return [line.split(" ■ ", 1)[1] for line in self.lines()[mark:] if " ■ " in line]

    def wait_said(self, mark, words, patience=20.0):
        end = time.monotonic() + patience
        while time.monotonic() < end:
            if any(words in said for said in self.said_since(mark)):
                return True
            pump(0.2)
        return False

    def quiet(self, seconds=1.5, patience=30.0):
        """Waits until Orca has said nothing new for `seconds`."""
        end = time.monotonic() + patience
        last, since = len(self.lines()), time.monotonic()
        while time.monotonic() < end:
            pump(0.2)
            now = len(self.lines())
            if now != last:
                last, since = now, time.monotonic()
            elif time.monotonic() - since >= seconds and not self.speaking():
                return

    def speaking(self):
        started = sum(1 for line in self.lines() if " ▶ " in line)
        finished = sum(1 for line in self.lines() if " ■ " in line)
        return started > finished and any(" ▶ " in line for line in self.lines()[-1:])


# Stopped from outside, it still stops what it started.
signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
heard = Transcript(transcript_path)
session = Session()
session.start_bus()
try:
    speechd = subprocess.Popen(
        ["speech-dispatcher", "-s", "-t", "0", "-C", os.path.join(work, "speechd"),
         "-S", os.path.join(work, "speechd.sock"), "-L", work])
    session.processes.append(speechd)
    pump(1)
    orca = subprocess.Popen(["orca", "--replace", "-u", os.path.join(work, "orca"),
                             "--debug-file", os.path.join(work, "orca-debug.txt")])
    session.processes.append(orca)
    if not heard.wait_said(0, "", patience=60):
        fail("Orca ne dit rien")
    heard.quiet()

    mark = heard.mark("Au lancement : la fenêtre des paramètres")
    session.start_program([program])
    app = application()
    wait_find("la fenêtre des paramètres", app, pyatspi.ROLE_DIALOG, "Paramètres de la CTN")
    heard.quiet(2.0)
    for step in ("Tab vers A", "Tab vers B", "Tab vers Validation", "Tab vers Étalonnage…",
                 "Tab vers R"):
        heard.mark(step)
        key("Tab")
        heard.quiet()
    heard.mark("Flèche droite deux fois dans R, puis Fin")
    key("Right", "Right", "End")
    heard.quiet()

    heard.mark("Validation (Tab ×3, Espace) : la fenêtre de mesure")
    key("Tab", "Tab", "Tab", "space")
    wait_find("la fenêtre de mesure", app, pyatspi.ROLE_FRAME, "Thermomètre avec une thermistance")
    heard.quiet(2.5)
    for field in ("la tension simulée", "le champ décimal", "Uth", "hexadécimal", "binaire", "Ut",
                  "la température"):
        heard.mark("Tab vers " + field)
        key("Tab")
        heard.quiet()
    heard.mark("Dix secondes sur la température, le banc à 25 °C")
    pump(10)

    heard.mark("Sur la case du banc, 80 °C tapés, puis « Refroidissement vers 20 °C »")
    for _ in range(4):  # Saisie, Courbe, Quitter, then the bench's first box
        key("Tab")
    heard.quiet()
    key("ctrl+a")
    subprocess.run(["xdotool", "type", "--delay", "100", "80"], check=True)
    key("Return")
    heard.quiet()
    key("Menu")
    heard.quiet()
    key(*(["Down"] * 8), "Return")  # Refroidissement vers 20 °C
    heard.quiet()
    heard.mark("Maj+Tab jusqu'à la température, qui refroidit ; vingt secondes")
    for _ in range(4):  # Quitter, Courbe, Saisie, the temperature
        key("shift+Tab")
    pump(20)
    heard.quiet()

    heard.mark("Vingt pannes et fins de panne, depuis le menu du banc")
    for _ in range(4):
        key("Tab")  # back to the bench's first box
    heard.quiet()
    faults = []
    for i in range(10):
        for downs, said in ((6, "Interface débranchée"), (3, "Mesure rétablie")):
            mark = heard.mark("Panne %d : %s" % (len(faults) + 1, said))
            key("Menu")
            pump(0.8)
            key(*(["Down"] * downs), "Return")
            # Said after what Orca says of the menu and the window, which comes back.
            ok = heard.wait_said(mark, said, patience=90)
            faults.append((said, ok))
            heard.quiet(1.0)

    heard.mark("Le champ Uth, interface débranchée")
    key("Menu")
    pump(0.8)
    key(*(["Down"] * 6), "Return")
    heard.quiet()
    for _ in range(3):  # the second box, the decimal code, Uth
        key("Tab")
    heard.quiet()
    for _ in range(3):
        key("shift+Tab")
    heard.quiet()
    key("Menu")
    pump(0.8)
    key(*(["Down"] * 3), "Return")
    heard.quiet()

    heard.mark("F11 : l'affichage géant ; Espace ; Échap")
    key("F11")
    heard.quiet(2.0)
    key("space")
    heard.quiet()
    key("Escape")
    heard.quiet(2.0)

    heard.mark("Ctrl++ puis Ctrl+0 : la taille d'affichage")
    key("ctrl+plus")
    heard.quiet()
    key("ctrl+0")
    heard.quiet()

    heard.mark("Saisie des paramètres, puis Étalonnage…")
    main = find(app, pyatspi.ROLE_PUSH_BUTTON, "Saisie des paramètres du montage")
    main.queryComponent().grabFocus()
    heard.quiet()
    key("space")
    heard.quiet(2.0)
    key("Tab", "Tab", "Tab", "Tab", "space")
    heard.quiet(2.5)
    heard.mark("25,5 tapé dans la température de référence, puis Flèche gauche ×2, Fin")
    subprocess.run(["xdotool", "type", "--delay", "150", "25,5"], check=True)
    heard.quiet()
    key("Left", "Left", "End")
    heard.quiet()
    heard.mark("Relever")
    key("Tab", "space")
    heard.quiet(2.0)
    heard.mark("« vingt » tapé, Relever")
    key("shift+Tab", "ctrl+a")
    subprocess.run(["xdotool", "type", "--delay", "100", "vingt"], check=True)
    key("Tab", "space")
    heard.quiet(2.0)

    lost = [said for said, ok in faults if not ok]
    heard.mark("Bilan : %d annonces de panne et de fin de panne sur %d dites en entier%s"
               % (len(faults) - len(lost), len(faults),
                  "" if not lost else " ; perdues : " + ", ".join(lost)))
    print("Annonces dites en entier : %d sur %d" % (len(faults) - len(lost), len(faults)))
    if lost:
        raise SystemExit(1)
finally:
    session.stop()
