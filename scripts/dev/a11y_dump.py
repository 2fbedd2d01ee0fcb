#!/usr/bin/python3
"""Prints what a screen reader receives from a running Tessiro: the AT-SPI tree of
its active window (or of the window whose title contains TITLE), one node a line:

    <indent>role "name" [description] {states}

Nodes that are hidden or off the screen are left out unless --all is given, so
that what is printed is what a screen reader walks. Used by a11y-dump.sh; needs
python3-pyatspi and a session bus on which the program registered itself.
"""
import argparse
import sys

import pyatspi

# States that tell a user something; the rest (sensitive, enabled, ...) are noise.
SHOWN_STATES = {
    pyatspi.STATE_FOCUSABLE: "focusable",
    pyatspi.STATE_FOCUSED: "FOCUSED",
    pyatspi.STATE_SELECTED: "selected",
    pyatspi.STATE_CHECKED: "checked",
    pyatspi.STATE_EDITABLE: "editable",
    pyatspi.STATE_READ_ONLY: "read-only",
    pyatspi.STATE_ACTIVE: "active",
    pyatspi.STATE_EXPANDED: "expanded",
    pyatspi.STATE_COLLAPSED: "collapsed",
}


def states(node):
    present = node.getState()
    return [text for state, text in SHOWN_STATES.items() if present.contains(state)]


def visible(node):
    present = node.getState()
    return present.contains(pyatspi.STATE_SHOWING) and present.contains(pyatspi.STATE_VISIBLE)


def walk(node, depth, show_all, out, limit):
    if node is None or (not show_all and depth > 0 and not visible(node)):
        return
    line = "%s%s \"%s\"" % ("  " * depth, node.getRoleName(), node.name or "")
    if node.description:
        line += " [%s]" % node.description
    marks = states(node)
    if marks:
        line += " {%s}" % ", ".join(marks)
    out.append(line)
    count = node.childCount
    # A grid of hundreds of cells: its first rows show how cells are named.
    for i in range(min(count, limit)):
        walk(node.getChildAtIndex(i), depth + 1, show_all, out, limit)
    if count > limit:
        out.append("%s... %d more children" % ("  " * (depth + 1), count - limit))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("title", nargs="?", help="part of the window title; default: the active window")
    parser.add_argument("--app", default="Firmware Tessiro", help="application name on the accessibility bus")
    parser.add_argument("--all", action="store_true", help="also hidden nodes (other tabs, hidden rows)")
    parser.add_argument("--limit", type=int, default=40, help="children shown per node (default 40)")
    args = parser.parse_args()

    desktop = pyatspi.Registry.getDesktop(0)
    apps = [a for a in desktop if a is not None and a.name == args.app]
    if not apps:
        sys.exit("no application %r on the accessibility bus" % args.app)
    windows = [w for a in apps for w in a if w is not None]
    if args.title:
        chosen = [w for w in windows if args.title in (w.name or "")]
    else:
        chosen = [w for w in windows if w.getState().contains(pyatspi.STATE_ACTIVE)]
    if not chosen:
        sys.exit("no such window; there are: %s" % ", ".join(repr(w.name) for w in windows))
    out = []
    walk(chosen[-1], 0, args.all, out, args.limit)
    print("\n".join(out))


if __name__ == "__main__":
    main()
