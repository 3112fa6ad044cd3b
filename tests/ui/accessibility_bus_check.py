"""Reads the window through the desktop's accessibility bus, as a screen
reader does, and checks what a blind user relies on: the frame, the buttons
with their shortcuts, the option, the key field and its label, and the file
table with its headers and cells. Then adds a file by pressing "Upload files"
through the bus. Last, the viewer of a decoded letter: its text as Unicode."""
import sys
import time

import pyatspi

CAPTION = "Vantrel 1.6"
VIEWER_CAPTION = "letter-dec.txt"
LETTER = "Привет, мир\nЭто письмо."
BUTTON_KEYS = {
    "Upload files": "Ctrl+O",
    "Folder to upload files": "Ctrl+Shift+O",
    "Run": "F5",
    "Остановить декрипт": "Esc",
    "Open file": "Ctrl+Return",
}
HEADERS = ["Source files", "Status", "Progress", "Decoded files"]
TYPED_KEY = "key-never-seen-1"

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what, flush=True)


def wait_for(find, what, seconds=30.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.2)
    print("FAILED: no", what, "within", seconds, "s", flush=True)
    sys.exit(1)


def find_frame(caption=CAPTION):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None:
            continue
        for window in app:
            if window is not None and window.getRole() == pyatspi.ROLE_FRAME and window.name == caption:
                return window
    return None


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        if child.getRole() != pyatspi.ROLE_TABLE:
            yield from descendants(child)


# Roles by their numbers: their names change between versions of the
# accessibility stack ("push button" became "button").
def by_role(nodes, role):
    return [n for n in nodes if n.getRole() == role]


def states(node):
    return node.getState()


def action_of(node):
    action = node.queryAction()
    return {action.getName(i): action.getKeyBinding(i) for i in range(action.nActions)}


def related(node, relation):
    for rel in node.getRelationSet():
        if rel.getRelationType() == relation:
            return [rel.getTarget(i) for i in range(rel.getNTargets())]
    return []


frame = wait_for(find_frame, "frame named " + CAPTION)
nodes = list(descendants(frame))

buttons = {b.name: b for b in by_role(nodes, pyatspi.ROLE_PUSH_BUTTON)}
check(set(buttons) == set(BUTTON_KEYS), "buttons named by their hints: %s" % sorted(buttons))
for name, key in BUTTON_KEYS.items():
    if name in buttons:
        actions = action_of(buttons[name])
        check(actions.get("Press") == key, "%s presses with %s: %s" % (name, key, actions))
if "Run" in buttons and "Остановить декрипт" in buttons:
    check(states(buttons["Run"]).contains(pyatspi.STATE_SHOWING), "Run is showing")
    check(states(buttons["Run"]).contains(pyatspi.STATE_ENABLED), "Run is enabled")
    check(not states(buttons["Остановить декрипт"]).contains(pyatspi.STATE_SHOWING), "Stop is hidden")

boxes = by_role(nodes, pyatspi.ROLE_CHECK_BOX)
check(len(boxes) == 1 and boxes[0].name == "Key valid check", "the option is a check box named Key valid check")
if boxes:
    check(states(boxes[0]).contains(pyatspi.STATE_CHECKED), "the option is checked")
    check(action_of(boxes[0]).get("Toggle") == "Alt+V", "the option toggles with Alt+V")

fields = by_role(nodes, pyatspi.ROLE_PASSWORD_TEXT)
check(len(fields) == 1, "one password text")
if fields:
    field = fields[0]
    check(field.name == "Key for decode", "the key field is named by its label: %r" % field.name)
    labels = related(field, pyatspi.RELATION_LABELLED_BY)
    check([l.name for l in labels] == ["Key for decode"], "the key field is labelled by the label")
    if labels:
        check([t.getRole() for t in related(labels[0], pyatspi.RELATION_LABEL_FOR)] == [pyatspi.ROLE_PASSWORD_TEXT],
              "the label is the key field's label")
    text = field.queryText()
    shown = text.getText(0, -1)
    check(TYPED_KEY not in shown and set(shown) <= {"*"} and text.characterCount == len(TYPED_KEY),
          "the key reads as its mask: %r" % shown)
    check(action_of(field).get("SetFocus") == "Alt+K", "Alt+K puts the focus in the key field")

tables = by_role(nodes, pyatspi.ROLE_TABLE)
check(len(tables) == 1, "one table")
if tables:
    check(tables[0].name == "Файлы", "the table is named by its hint: %r" % tables[0].name)
    table = tables[0].queryTable()
    check(table.nColumns == 4 and table.nRows == 2, "four columns, two rows: %d x %d" % (table.nColumns, table.nRows))
    check([table.getColumnHeader(c).name for c in range(table.nColumns)] == HEADERS, "column headers")
    check([table.getColumnDescription(c) for c in range(table.nColumns)] == HEADERS, "column descriptions")
    row = [table.getAccessibleAt(0, c) for c in range(4)]
    check([c.name for c in row] == ["/data/report-a.txt", "Not decoded", "0%", ""],
          "first row's cells: %s" % [c.name for c in row])
    check([c.getRole() for c in row] == [pyatspi.ROLE_TABLE_CELL] * 4, "cells are table cells")
    rejected = table.getAccessibleAt(1, 1)
    check((rejected.name, rejected.description) == ("", "The key check proved the key wrong for this file"),
          "a rejected row's status is described by its tip: %r" % rejected.description)
    value = row[2].queryValue()
    check((value.currentValue, value.minimumValue, value.maximumValue) == (0, 0, 100), "progress value 0 of 0-100")

    # A blind user adds a file: press "Upload files" through the bus.
    buttons["Upload files"].queryAction().doAction(0)
    wait_for(lambda: tables[0].queryTable().nRows == 3, "third row after pressing Upload files", 10)
    check(tables[0].queryTable().getAccessibleAt(2, 0).name == "/data/report-c.txt", "the added file's row")

viewer = wait_for(lambda: find_frame(VIEWER_CAPTION), "frame named " + VIEWER_CAPTION)
texts = [t for t in by_role(list(descendants(viewer)), pyatspi.ROLE_TEXT) if states(t).contains(pyatspi.STATE_SHOWING)]
check([t.name for t in texts] == [VIEWER_CAPTION], "the viewer shows one text, named by the file: %s"
      % [t.name for t in texts])
if texts:
    shown = texts[0].queryText()
    check(shown.getText(0, -1) == LETTER, "the letter reads as Unicode text: %r" % shown.getText(0, -1))
    check(not states(texts[0]).contains(pyatspi.STATE_EDITABLE), "the viewer's text is read-only")

if failures:
    print("%d check(s) failed" % len(failures))
    sys.exit(1)
print("accessibility tree as expected")
