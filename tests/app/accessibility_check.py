#!/usr/bin/python3
"""Plays the running game through the keyboard while listening on the accessibility bus, as a
screen reader would: every control a player can reach or read has a name, decorative pieces are
separators, and the texts that change reach the bus without the focus moving.

Usage: accessibility_check.py SCRIPTS_DIR   (run by accessibility_test.sh)
"""
import subprocess
import sys
import time

sys.path.insert(0, sys.argv[1])
import pyatspi  # noqa: E402
from gi.repository import GLib  # noqa: E402

from accessibility_tree import find_application, states_of, text_of, walk  # noqa: E402

failures = []
names_heard = []
focus_heard = []


def check(condition, message):
    if not condition:
        failures.append(message)


def on_name_change(event):
    names_heard.append(event.source.name)


def on_focus(event):
    if event.detail1 == 1:
        focus_heard.append(event.source.name)


def pump(seconds, until=lambda: False):
    """Runs the bus's events for up to seconds, or until until() holds; whether it did."""
    deadline = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < deadline:
        while context.pending():
            context.iteration(False)
        if until():
            return True
        time.sleep(0.05)
    return until()


def keys(*sequence):
    subprocess.run(["xdotool", "key", "--delay", "150", *sequence], check=True)


def window_named(application, name):
    for window in application:
        if window is not None and window.name == name and "showing" in states_of(window):
            return window
    return None


def unnamed(window):
    """Objects a player can reach or read that have no name."""
    found = []
    for depth, accessible in walk(window):
        states = states_of(accessible)
        if "showing" not in states:
            continue
        reachable = "focusable" in states or text_of(accessible).strip()
        if reachable and not accessible.name.strip():
            found.append(f"[{accessible.getRoleName()}] {text_of(accessible)!r}")
    return found


def roles_by_name(window):
    """The roles of the objects of each name."""
    roles = {}
    for _, accessible in walk(window):
        roles.setdefault(accessible.name, set()).add(accessible.getRoleName())
    return roles


def main():
    application = find_application("quorbelix")
    if application is None:
        sys.exit("the game is not on the accessibility bus")
    pyatspi.Registry.registerEventListener(on_name_change, "object:property-change:accessible-name")
    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")

    game = window_named(application, "Quorbelix 1.0")
    check(game is not None, "no window 'Quorbelix 1.0' on the bus")
    if game is None:
        return
    check(not unnamed(game), f"unnamed objects in the game window: {unnamed(game)}")
    named = roles_by_name(game)
    expected = {
        "Nombre à trouver": "text", "Plaque 1": "text", "Plaque 6": "text",
        "Solution": "label", "Avancement": "label", "Temps restant : 60 secondes": "label",
        "Barre d'état": "status bar", "Barre d'outils": "tool bar", "Barre de menus": "menu bar",
        "Nouveau tirage": "push button", "Autres commandes": "push button",
    }
    for name, role in expected.items():
        check(role in named.get(name, set()),
              f"no {role} named '{name}' in the game window")
    frames = [a for _, a in walk(game) if a.getRoleName() == "frame" and a is not game]
    check(not frames, f"{len(frames)} unnamed frames left: the bevels should be separators")

    # Tab runs through the target, then the plates in order.
    keys("Tab")
    pump(2, lambda: bool(focus_heard))
    focus_heard.clear()
    keys(*["Tab"] * 6)
    pump(5, lambda: len(focus_heard) >= 6)
    check(focus_heard[-6:] == [f"Plaque {n}" for n in range(1, 7)],
          f"the tab order after the target was {focus_heard}")

    # A draw and a solve from the menus: the solution reaches the bus while the focus stays put.
    names_heard.clear()
    keys("alt+e", "n", "alt+e", "s")
    # A draw without a solution says so, and empties the position above it.
    heard = pump(30, lambda: "Solution : Pas de Quorbelix possible !" in names_heard
                 or (any(n.startswith("Solution : ") for n in names_heard)
                     and any(n.startswith("Avancement : ") for n in names_heard)))
    check(heard, f"no solution announced after a solve; heard {names_heard}")
    solution = next((n for n in names_heard if n.startswith("Solution : ")), "")
    check("=" in solution or "Pas de Quorbelix possible !" in solution,
          f"the announced solution carries no step: {solution!r}")
    # Browsing to the next solution announces it too, when there is one.
    if not any("(Total : 1 solutions)" in n for n in names_heard) and "=" in solution:
        names_heard.clear()
        keys("alt+e", "v")  # Solution suivante
        check(pump(10, lambda: any(n.startswith("Avancement : Solution n°: 2")
                                   for n in names_heard)),
              f"browsing to the next solution was not announced; heard {names_heard}")

    # The about box: named, its lines and banner separators, closed from the keyboard.
    keys("alt+a", "p")  # A propos de...
    about = None
    if pump(15, lambda: window_named(application, "A propos de...") is not None):
        about = window_named(application, "A propos de...")
    check(about is not None, "no about box 'A propos de...' on the bus")
    if about is not None:
        check(not unnamed(about), f"unnamed objects in the about box: {unnamed(about)}")
        check("push button" in roles_by_name(about).get("OK", set()),
              "the about box has no OK button on the bus")
        separators = [a for _, a in walk(about) if a.getRoleName() == "separator"]
        check(len(separators) == 3, f"{len(separators)} separators in the about box, not 3")
        keys("Escape")
        check(pump(10, lambda: window_named(application, "A propos de...") is None),
              "Escape did not close the about box")

    # An error box is an alert whose message and button a screen reader can read.
    keys("ctrl+a", "x", "alt+e", "s")  # into the focused plate, then solve

    def error_box():
        for window in application:
            if window is not None and window.getRoleName() == "alert":
                return window
        return None

    check(pump(15, lambda: error_box() is not None), "no alert on the bus for a bad number")
    box = error_box()
    if box is not None:
        check(not unnamed(box), f"unnamed objects in the error box: {unnamed(box)}")
        message = [a for _, a in walk(box) if "valeur entière" in (a.name + text_of(a))]
        check(bool(message), "the error box's message is not on the bus")
        keys("Return")
        check(pump(10, lambda: error_box() is None), "Enter did not close the error box")
    keys("ctrl+a", "1")

    # The countdown: the time left reaches the bus every ten seconds.
    names_heard.clear()
    keys("alt+e", "m")  # Mode réflexion
    check(pump(40, lambda: "Temps restant : 50 secondes" in names_heard),
          f"the countdown's tenth second was not announced; heard {names_heard}")

    # The help window: every part named, and closed from the keyboard alone.
    keys("alt+a", "r")  # Rubriques de l'aide
    title = "Aide de Quorbelix"
    check(pump(30, lambda: window_named(application, title) is not None),
          f"no help window '{title}' on the bus")
    help_window = window_named(application, title)
    if help_window is not None:
        check(not unnamed(help_window),
              f"unnamed objects in the help window: {unnamed(help_window)}")
        named = roles_by_name(help_window)
        for name in ("Barre d'outils de l'aide", "Volets de navigation", "Sommaire",
                     "Rubrique affichée", "Précédent", "Accueil", "Imprimer"):
            check(name in named, f"nothing named '{name}' in the help window")
        keys("ctrl+w")
        check(pump(10, lambda: window_named(application, title) is None),
              "Ctrl+W did not close the help window")


main()
if failures:
    print("\n".join(failures), file=sys.stderr)
    sys.exit(1)
print("accessibility check: passed")
