#!/usr/bin/env python3
"""Keys typed into a pop-up editor are the editor's. Edit Event and then Edit Layer are opened
with Space; Ctrl+A, "lefrn", Backspace and Delete typed into each run no command (Ctrl+A selects
the title's text and the letters go into the title field), and the title typed there over them
is all that reaches the saved file. When the editor (or the save dialog) closes, the document's
window has the keyboard again: its keys work without a click."""

import os
import re

import session

KEYS = ("ctrl+a", "l", "e", "f", "r", "n", "BackSpace", "Delete")
COMMAND = re.compile(r"END CMD: (\w+)")


def typed_into_editor(s, window, open_editor, title):
    """Opens an editor, types the keys into it, then the title into its title field, and closes
    it with Escape; the keyboard must come back to the window."""
    known = {w.id for w in s.windows()}
    open_editor()
    editor = s.wait("the editor", lambda: next(
        (w for w in s.windows() if w.id not in known and w.name.startswith("Edit ")), None))
    s.wait_keyboard(editor)
    mark = len(s.trace())
    s.key(*KEYS)
    # The title field has the keyboard now, and Ctrl+A there is the field's.
    s.key("ctrl+a")
    s.type(title)
    s.screenshot(title)
    s.key("Escape")
    s.wait("the editor to close", lambda: all(w.id != editor.id for w in s.windows()))
    s.wait_keyboard(window)
    ran = COMMAND.findall(s.trace(), mark)
    if ran:
        raise session.Failure("keys typed into %s ran %s" % (editor.name, ran))


def saved_with_keys(s, bundle):
    """Ctrl+S typed with no help: the document's window must have the keyboard."""
    doc = session.read_doc(bundle)
    stamp = os.path.getmtime(os.path.join(bundle, "doc_data.xml"))
    s.key("ctrl+s")
    return doc, s.wait_saved(bundle, stamp)


def same_but_titles(before, after):
    """What the keys could have changed: the stack, the events, the rows, the time window."""
    def shape(doc):
        return ([(slot, a["numRows"]) for (slot, _), a in zip(doc.layers, doc.layer_attrs)],
                {slot: (e["startTime"], e["timeLength"], e["rowIndex"], e["layer"])
                 for slot, e in doc.events.items()}, doc.time)
    return shape(before) == shape(after)


def body(s):
    window, (_, y, _, h), bundle, _ = s.saved_event("Keys")

    typed_into_editor(s, window, lambda: s.key("space"), "Typed")
    before, doc = saved_with_keys(s, bundle)
    if not same_but_titles(before, doc) or len(doc.layers) != 1 or len(doc.events) != 1:
        raise session.Failure("keys typed into Edit Event changed the document: %d layers, "
                              "%d events" % (len(doc.layers), len(doc.events)))
    if [e["title"] for e in doc.events.values()] != ["Typed"]:
        raise session.Failure("the event's title is %s" % [e["title"] for e in doc.events.values()])

    # A press on the layer's header selects it alone; Space then opens its editor.
    typed_into_editor(s, window, lambda: (s.click(window.x + 30, int(y + h / 2)),
                                          s.key("space")), "Band")
    before, doc = saved_with_keys(s, bundle)
    if not same_but_titles(before, doc) or len(doc.layers) != 1 or len(doc.events) != 1:
        raise session.Failure("keys typed into Edit Layer changed the document: %d layers, "
                              "%d events" % (len(doc.layers), len(doc.events)))
    if [t for _, t in doc.layers] != ["Band"] or \
            [e["title"] for e in doc.events.values()] != ["Typed"]:
        raise session.Failure("the titles are %s and %s" % (
            [t for _, t in doc.layers], [e["title"] for e in doc.events.values()]))
    s.screenshot()
    s.quit(window)


session.run("editorKeys", body)
