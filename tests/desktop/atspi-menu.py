#!/usr/bin/env python3
"""Reads and activates context-menu entries of a running file manager through the
accessibility bus (what a screen reader sees).

  atspi-menu.py list APP            the labels of the menu items now showing, one a line
  atspi-menu.py click APP LABEL     activates the showing menu item with exactly that label
"""
import sys
import time

import pyatspi

ITEM_ROLES = {pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_MENU, pyatspi.ROLE_CHECK_MENU_ITEM,
              pyatspi.ROLE_RADIO_MENU_ITEM, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON}


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(50):
        for app in desktop:
            if app is not None and app.name and app.name.lower().startswith(name.lower()):
                return app
        time.sleep(0.2)
    raise SystemExit(f"no application {name} on the accessibility bus")


def showing_items(node, out, depth=0):
    if node is None or depth > 60:
        return
    try:
        states = node.getState()
        role = node.getRole()
    except Exception:
        return
    if not states.contains(pyatspi.STATE_SHOWING):
        return
    # The file managers' own buttons are told apart by their labels.
    if role in ITEM_ROLES and node.name:
        out.append(node)
    for i in range(node.childCount):
        try:
            showing_items(node.getChildAtIndex(i), out, depth + 1)
        except Exception:
            pass


def main():
    command, app_name = sys.argv[1], sys.argv[2]
    items = []
    showing_items(application(app_name), items)
    if command == "list":
        for item in items:
            print(item.name)
        return 0
    label = sys.argv[3]
    for item in items:
        if item.name == label:
            action = item.queryAction()
            for i in range(action.nActions):
                if action.getName(i) in ("click", "activate", "press"):
                    action.doAction(i)
                    return 0
            action.doAction(0)
            return 0
    print(f"no showing menu item {label!r}", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
