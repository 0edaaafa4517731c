#!/usr/bin/python3
"""Prints the accessibility tree of a running program as a screen reader sees it, through the
desktop's accessibility bus (AT-SPI): one line per object with its role, name, description, text
and the states that matter, indented by depth.

Usage: scripts/accessibility_tree.py [APPLICATION_NAME]   (default: quorbelix)

The program must run with accessibility on (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1, or a screen
reader running) on the same D-Bus session. tests/app/accessibility_test.sh shows how to make a
private session for it.
"""
import sys
import time

import pyatspi


def find_application(name, timeout=30.0):
    """The application called name on the bus, or None after timeout seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for application in pyatspi.Registry.getDesktop(0):
            if application is not None and application.name == name:
                return application
        time.sleep(0.2)
    return None


def text_of(accessible):
    try:
        return accessible.queryText().getText(0, -1)
    except NotImplementedError:
        return ""


def states_of(accessible):
    return {pyatspi.stateToString(state) for state in accessible.getState().getStates()}


def walk(accessible, depth=0):
    """(depth, accessible) for accessible and everything below it, depth first."""
    yield depth, accessible
    for child in accessible:
        if child is not None:
            yield from walk(child, depth + 1)


def describe(accessible):
    states = states_of(accessible) & {"focusable", "focused", "showing", "enabled"}
    parts = [f"[{accessible.getRoleName()}]", repr(accessible.name)]
    if accessible.description:
        parts.append(f"description={accessible.description!r}")
    text = text_of(accessible)
    if text:
        parts.append(f"text={text!r}")
    if states:
        parts.append(" ".join(sorted(states)))
    return " ".join(parts)


def main():
    name = sys.argv[1] if len(sys.argv) > 1 else "quorbelix"
    application = find_application(name)
    if application is None:
        sys.exit(f"no application '{name}' on the accessibility bus")
    for depth, accessible in walk(application):
        print("  " * depth + describe(accessible))


if __name__ == "__main__":
    main()
