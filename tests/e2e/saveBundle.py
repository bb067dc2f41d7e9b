#!/usr/bin/env python3
"""L, E, E make a layer with two events; Ctrl+S asks for a path, which is typed into the
dialog; the bundle holds them, and the window and the bundle's own record take the bundle's
name and path. Saved as another, that bundle's record names the other."""

import session


def names(doc, name, bundle):
    if (doc.record["name"], doc.record["path"]) != (name, bundle):
        raise session.Failure("the record of %s names %s at %s"
                              % (bundle, doc.record["name"], doc.record["path"]))


def body(s):
    s.start()
    window = s.window("Untitled")
    s.painted(window)
    s.focus(window)
    s.key("l", "e", "e")
    bundle, doc = s.save_as(window, "Plans")
    if len(doc.layers) != 1:
        raise session.Failure("%d layers saved, not 1" % len(doc.layers))
    if len(doc.events) != 2:
        raise session.Failure("%d events saved, not 2" % len(doc.events))
    layer = doc.layers[0][0]
    if any(e["layer"] != layer for e in doc.events.values()):
        raise session.Failure("an event is not in the layer")
    if sorted(e["rowIndex"] for e in doc.events.values()) != ["0.000000", "1.000000"]:
        raise session.Failure("the two events do not take rows 0 and 1")
    names(doc, "Plans", bundle)
    bundle, doc = s.save_as(s.window("Plans"), "Other", "ctrl+shift+s")
    names(doc, "Other", bundle)
    window = s.window("Other")
    s.screenshot()
    if s.quit(window):
        raise session.Failure("a document just saved asked to be saved")


session.run("saveBundle", body)
