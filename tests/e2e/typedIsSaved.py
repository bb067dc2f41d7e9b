#!/usr/bin/env python3
"""What is typed is what is saved, and typing runs no command. Letters typed into an editor just
opened with Space go into its title ("new plan" in Edit Event, "Temp name" in Edit Layer), and
Ctrl+S typed there saves it. A layer title typed in its header, without Return, is what Ctrl+S
writes, and Ctrl+Q with more of it typed asks before quitting."""

import os

import session


def typed_into_editor(s, window, bundle, text):
    """Space opens the editor of what is selected, the text is typed into it and Ctrl+S too;
    what was saved, once Escape has given the keyboard back to the window."""
    known = {w.id for w in s.windows()}
    s.key("space")
    s.wait_keyboard(s.wait("an editor", lambda: next(
        (w for w in s.windows() if w.id not in known and w.name.startswith("Edit ")), None)))
    s.type(text)
    doc = saved(s, bundle, ["ctrl+s"])
    s.key("Escape")
    s.wait_keyboard(window)
    return doc


def saved(s, bundle, keys):
    stamp = os.path.getmtime(os.path.join(bundle, "doc_data.xml"))
    s.key(*keys)
    return s.wait_saved(bundle, stamp)


def body(s):
    window, (_, y, _, h), bundle, first = s.saved_event("Typed")
    (vw, vh), items = s.scene()
    header_top = window.y + window.h - session.CONTROL_STRIP - vh + min(
        y for z, w, h, x, y, shown in items if z == 0 and shown)
    shape = lambda doc: ([slot for slot, _ in doc.layers], sorted(doc.events), doc.time)

    doc = typed_into_editor(s, window, bundle, "new plan")
    titles = ([e["title"] for e in doc.events.values()], [t for _, t in doc.layers])
    if shape(doc) != shape(first) or titles != (["new plan"], ["Layer #1"]):
        raise session.Failure("Edit Event, \"new plan\" and Ctrl+S: %s %s" % (shape(doc), titles))

    s.click(window.x + 30, int(y + h / 2))  # the layer alone selected
    doc = typed_into_editor(s, window, bundle, "Temp name")
    titles = [t for _, t in doc.layers]
    if shape(doc) != shape(first) or titles != ["Layer #1Temp name"]:
        raise session.Failure("Edit Layer, \"Temp name\": %s %s" % (shape(doc), titles))

    s.click(window.x + 8, header_top + 8, count=2)  # the title editor in the header
    s.wait_trace("Text Rect(")
    s.key("ctrl+a")
    s.type("Jalons")
    titles = [t for _, t in saved(s, bundle, ["ctrl+s"]).layers]
    if titles != ["Jalons"]:
        raise session.Failure("Ctrl+S saved the layer title %s, not the one typed" % titles)
    s.screenshot("header")
    s.type(" 2027")
    if not s.quit(window):
        raise session.Failure("Ctrl+Q with a layer title being typed quit without asking")


session.run("typedIsSaved", body)
