#!/usr/bin/env python3
"""L eight times makes a stack taller than the window: the rows follow each new layer, which
becomes the current one, so the E after them puts the event into the last layer, on screen."""

import session


def body(s):
    s.start()
    window = s.window("Untitled")
    s.painted(window)
    s.focus(window)
    s.key(*["l"] * 8)
    s.key("e")
    _, doc = s.save_as(window, "Stack")
    s.screenshot()
    if len(doc.layers) != 8:
        raise session.Failure("%d layers saved, not 8" % len(doc.layers))
    last = doc.layer_attrs[-1]
    if [doc.layer_index(e["layer"]) for e in doc.events.values()] != [7]:
        raise session.Failure("the event is not in the last layer alone: %s" % doc.events)
    if last["isCurrent"] != "True":
        raise session.Failure("the last layer is not the current one")
    top, bottom = float(last["modelY"]), float(last["modelY"]) + float(last["modelH"])
    if not doc.rows[0] <= top < bottom <= doc.rows[1] + 1e-6:
        raise session.Failure("the last layer, rows %g to %g, is outside the window %g to %g"
                              % (top, bottom, doc.rows[0], doc.rows[1]))
    s.quit(s.window("Stack"))


session.run("newLayer", body)
