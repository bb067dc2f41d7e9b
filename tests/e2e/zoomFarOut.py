#!/usr/bin/env python3
"""The time axis zoomed out with the wheel (turned toward the user with Control+Alt, five steps
a turn with Shift) until the zoom stops; Ctrl+S saves that view; the program started again with the bundle opens it."""

import os
import re

import session


def body(s):
    s.start()
    window = s.window("Untitled")
    s.painted(window)
    s.focus(window)
    s.wheel(window.x + window.w * 2 // 3, window.y + window.h // 2, -50,
            modifiers=("ctrl", "alt", "shift"))
    s.wait_trace("ZOOM LIMIT REACHED!")
    s.key("ctrl+s")
    s.focus(s.window("Save as..."))
    s.type(os.path.join(s.docs, "Far"))
    s.key("Return")
    bundle = os.path.join(s.docs, "Far.orstime")
    s.wait_saved(bundle)
    with open(os.path.join(bundle, "doc_data.xml")) as f:
        zooms = re.findall(r'<zoom sc="(\d+)" dy="(\d+)"', f.read())
    if max(int(dy) * 86400 + int(sc) for sc, dy in zooms) < 8.99e13:
        raise session.Failure("the saved time zoom is not the farthest: %s" % zooms)
    if s.quit(s.window("Far")):
        raise session.Failure("a document just saved asked to be saved")
    s.start(bundle)
    window = s.window("Far")
    s.painted(window)
    s.screenshot()
    if "could not be opened" in s.trace():
        raise session.Failure("the program could not open the document it saved")
    if s.quit(window):
        raise session.Failure("a document just opened asked to be saved")


session.run("zoomFarOut", body)
