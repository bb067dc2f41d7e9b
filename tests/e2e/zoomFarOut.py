#!/usr/bin/env python3
"""The time axis zoomed out with the wheel (turned toward the user with Control+Alt, five steps
a turn with Shift) until the zoom stops; Ctrl+S saves that view; the program started again with
the bundle opens it."""

import os
import xml.etree.ElementTree as ET

import session

FARTHEST = 8.99e13  # seconds per pixel where zooming out stops


def time_zoom(bundle):
    """The stored zoom of the timeline's time scale, in seconds per pixel."""
    root = ET.parse(os.path.join(bundle, "doc_data.xml")).getroot()
    for obj in root.iter("object"):
        notes = [a.get("value") for a in obj.findall("attr") if a.get("_id") == "note"]
        if obj.get("_t") == "mScale" and notes == ["Timeline TIME scale"]:
            zoom = obj.find("zoom")
            return int(zoom.get("dy")) * 86400 + int(zoom.get("sc")) + int(zoom.get("ns")) / 1e9
    raise session.Failure("the document holds no timeline time scale")


def body(s):
    s.start()
    window = s.window("Untitled")
    s.painted(window)
    s.focus(window)
    s.wheel(window.x + window.w * 2 // 3, window.y + window.h // 2, -50,
            modifiers=("ctrl", "alt", "shift"))
    s.wait_trace("ZOOM LIMIT REACHED!")
    bundle, _ = s.save_as(window, "Far")
    zoom = time_zoom(bundle)
    if zoom < FARTHEST:
        raise session.Failure("the saved zoom is %g seconds per pixel, not the farthest" % zoom)
    if s.quit(s.window("Far")):
        raise session.Failure("a document just saved asked to be saved")

    s.start(bundle)
    window = s.window("Far")
    s.painted(window)
    s.screenshot()
    if "could not be opened" in s.trace():
        raise session.Failure("the program could not open the document it saved")
    others = [w for w in s.windows() if w.name and w.name not in ("Far", "Far*")]
    if others:
        raise session.Failure("other windows are shown: %s" % others)
    if s.quit(window):
        raise session.Failure("a document just opened asked to be saved")


session.run("zoomFarOut", body)
