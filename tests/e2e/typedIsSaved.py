#!/usr/bin/env python3
"""What is typed is what is saved, and typing never runs a command. Letters typed into an editor
just opened with Space, before any field is clicked, go into its title ("new plan" in Edit
Event, "Temp name" in Edit Layer): no layer, event or lock to now. Ctrl+S typed in Edit Event
saves the title typed there. A layer title typed in its header, without Return, is what Ctrl+S
writes, and Ctrl+Q with more of it typed asks before quitting."""

import os

import session


def state(doc):
    """What a stray command would change: the stack, the events, the view's time window."""
    return ([slot for slot, _ in doc.layers], sorted(doc.events), doc.time)


def open_editor(s, window, keys):
    """Opens a pop-up editor with the keys (the window has the keyboard); the editor, once it
    has the keyboard."""
    known = {w.id for w in s.windows()}
    s.key(*keys)
    editor = s.wait("an editor", lambda: next(
        (w for w in s.windows() if w.id not in known and w.name.startswith("Edit ")), None))
    s.wait_keyboard(editor)
    return editor


def saved(s, bundle, keys="ctrl+s"):
    stamp = os.path.getmtime(os.path.join(bundle, "doc_data.xml"))
    s.key(keys)
    return s.wait_saved(bundle, stamp)


def body(s):
    s.start()
    window = s.window("Untitled")
    s.painted(window)
    s.focus(window)
    _, y, _, h = s.new_event(window)
    bundle, first = s.save_as(window, "Typed")
    window = s.window("Typed")
    s.wait_keyboard(window)
    (vw, vh), items = s.scene()
    band_top = min(y for z, w, h, x, y, shown in items if z == 0 and shown)
    header_top = window.y + window.h - session.CONTROL_STRIP - vh + band_top

    # Edit Event: the letters start the title; Ctrl+S, typed there, saves it.
    editor = open_editor(s, window, ["space"])
    s.type("new plan")
    doc = saved(s, bundle)
    s.screenshot("event")
    if state(doc) != state(first):
        raise session.Failure("typing into Edit Event ran a command: %s, then %s"
                              % (state(first), state(doc)))
    if [e["title"] for e in doc.events.values()] != ["new plan"]:
        raise session.Failure("Ctrl+S in Edit Event saved the titles %s"
                              % [e["title"] for e in doc.events.values()])
    s.key("Escape")
    s.wait("the editor to close", lambda: all(w.id != editor.id for w in s.windows()))
    s.wait_keyboard(window)

    # Edit Layer, opened on the layer selected by a press on its header.
    s.click(window.x + 30, int(y + h / 2))
    editor = open_editor(s, window, ["space"])
    s.type("Temp name")
    s.key("Escape")
    s.wait("the editor to close", lambda: all(w.id != editor.id for w in s.windows()))
    s.wait_keyboard(window)
    doc = saved(s, bundle)
    if state(doc) != state(first):
        raise session.Failure("typing into Edit Layer ran a command: %s, then %s"
                              % (state(first), state(doc)))
    if [t for _, t in doc.layers] != ["Layer #1Temp name"]:
        raise session.Failure("the layer's title is %s" % [t for _, t in doc.layers])

    # The layer's title typed in its header, no Return: Ctrl+S writes it and the window shows
    # the document saved.
    s.click(window.x + 8, header_top + 8, count=2)
    s.wait_trace("Text Rect(")
    s.key("ctrl+a")
    s.type("Jalons")
    doc = saved(s, bundle)
    if [t for _, t in doc.layers] != ["Jalons"]:
        raise session.Failure("Ctrl+S saved the layer title %s, not the one typed"
                              % [t for _, t in doc.layers])
    s.window("Typed")
    s.wait("the window to show the document saved",
           lambda: any(w.name == "Typed" for w in s.windows()))
    s.screenshot("header")
    # More typed and Ctrl+Q: the question comes.
    s.type(" 2027")
    if not s.quit(window):
        raise session.Failure("Ctrl+Q with a layer title being typed quit without asking")
    if [t for _, t in session.read_doc(bundle).layers] != ["Jalons"]:
        raise session.Failure("Don't Save changed the bundle")


session.run("typedIsSaved", body)
