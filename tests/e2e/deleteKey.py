#!/usr/bin/env python3
"""Delete deletes the selection as Backspace does: the new event, selected alone, then with
everything selected the other one."""

import session


def body(s):
    s.start()
    window = s.window("Untitled")
    s.painted(window)
    s.focus(window)
    s.key("l", "e", "e", "Delete")
    bundle, doc = s.save_as(window, "Deleted")
    if len(doc.events) != 1:
        raise session.Failure("%d events after Delete, not 1" % len(doc.events))
    s.focus(window)
    s.key("ctrl+a", "Delete")
    doc = s.save(window, bundle)
    if doc.events:
        raise session.Failure("%d events after Select All and Delete" % len(doc.events))
    s.quit(window)


session.run("deleteKey", body)
