#!/usr/bin/python3
"""Drags files as a file manager does, from another process over the real
drag-and-drop protocol: a small GTK window that offers the files given on
the command line as a URI list and, with --with-text first, also as plain
text (their paths, one a line), as many file managers do. Once on screen it
prints the screen position of its middle, where a drag is to start."""
import sys
import urllib.parse

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

args = sys.argv[1:]
with_text = bool(args) and args[0] == "--with-text"
paths = args[1:] if with_text else args

window = Gtk.Window(title="drag source")
window.set_default_size(120, 80)
area = Gtk.EventBox()
area.add(Gtk.Label(label="files"))
window.add(area)

targets = Gtk.TargetList.new([])
targets.add_uri_targets(0)
if with_text:
    targets.add_text_targets(1)
area.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
area.drag_source_set_target_list(targets)


def give(_widget, _context, data, info, _time):
    if info == 0:
        data.set_uris(["file://" + urllib.parse.quote(p) for p in paths])
    else:
        data.set_text("\n".join(paths), -1)


def shown(_window, _event):
    _, x, y = area.get_window().get_origin()
    allocation = area.get_allocation()
    print(x + allocation.width // 2, y + allocation.height // 2, flush=True)
    return False


area.connect("drag-data-get", give)
window.connect("map-event", shown)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
