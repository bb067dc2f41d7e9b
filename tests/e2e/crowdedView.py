#!/usr/bin/env python3
"""A document of 100,000 events fitted whole into the window answers as a small one does: Select
All and Fit Selected, zooms and pans with the wheel, a drag of everything from an event drawn in
a crowded row, then Shift+click on one event to take it out of the selection and Backspace for
the rest, each followed by a save that shows what it did. Every step must come back within the
usual bounds of a whole-program test; the views used to take seconds for each."""

import os
import xml.etree.ElementTree as ET

import session

EVENTS, LAYERS = 100000, 50
WHITE = (255, 255, 255)


def read(bundle, events=True):
    """What a saved bundle says: the time window of its timeline (start, end, seconds a pixel),
    and (when asked) the start of every event by slot. Read as a stream: the file is large."""
    scales, window, starts, slot = {}, None, {}, None
    path = os.path.join(bundle, "doc_data.xml")
    kind = oid = None
    for event, element in ET.iterparse(path, events=("start", "end")):
        tag = element.tag
        if event == "start":
            if tag == "type":
                kind = element.get("name")
            elif tag == "addr":
                oid = int(element.get("_id"))
            continue
        if kind == "mScale" and tag in ("vis_start", "vis_end"):
            scales.setdefault(oid, {})[tag] = session.stamp(element)
        elif kind == "mScale" and tag == "zoom":
            scales.setdefault(oid, {})[tag] = (int(element.get("dy")) * 86400 +
                                               int(element.get("sc")) + int(element.get("ns")) / 1e9)
        elif kind == "mTimeline" and tag == "time_scale":
            scale = scales[int(element.get("oid"))]
            window = (scale["vis_start"], scale["vis_end"], scale["zoom"])
            if not events:
                return window, starts
        elif kind == "mEvent" and tag == "attr" and element.get("_id") == "startTime":
            starts[oid] = float(element.get("value"))
        if tag == "addr":
            element.clear()
    return window, starts


def white_pixel(s, window):
    """A white pixel of the view (a selected event's outline): the window less its header
    column, ruler and control strip."""
    left, top = window.x + 140, window.y + 130
    w, h = window.w - 150, window.h - 130 - session.CONTROL_STRIP - 10
    shot = os.path.join(s.tmp, "view.rgb")
    s.x("import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, left, top), "-depth", "8",
        "rgb:" + shot)
    with open(shot, "rb") as f:
        data = f.read()
    # From the middle outwards along rows, so that a drag has room either side.
    for dy in range(0, h // 2):
        for y in (h // 2 + dy, h // 2 - dy - 1):
            for x in range(w // 4, w - w // 4):
                at = 3 * (y * w + x)
                if tuple(data[at:at + 3]) == WHITE:
                    return left + x, top + y
    raise session.Failure("no selected event is drawn in the view")


def save(s, window, bundle):
    """Ctrl+S, and the wait for the file to be written again."""
    path = os.path.join(bundle, "doc_data.xml")
    stamp = os.path.getmtime(path)
    s.focus(window)
    s.key("ctrl+s")
    s.wait("%s to be written" % path, lambda: os.path.getmtime(path) > stamp, 120)


def body(s):
    bundle = s.generate("Crowd", EVENTS, LAYERS)
    _, generated = read(bundle)
    s.start(bundle)
    window = s.window("Crowd", timeout=120)
    s.painted(window, timeout=120)
    s.focus(window)
    mark = len(s.trace())
    s.key("ctrl+a", "f")
    s.wait_trace("END CMD: cmdViewFitSelected", after=mark)
    s.screenshot("fitted")
    save(s, window, bundle)
    fitted, _ = read(bundle, False)
    span = (min(generated.values()), max(generated.values()))
    if not (fitted[0] <= span[0] and fitted[1] >= span[1]):
        raise session.Failure("the fitted window %s does not hold the events' %s" % (fitted, span))

    # The wheel over the middle of the view: Control and Alt zoom in, Alt pans to earlier times.
    x, y = window.x + window.w // 2, window.y + window.h // 2
    steps = [(("ctrl", "alt"), 2, lambda a, b: b[2] < a[2], "zoomed in"),
             (("alt",), 2, lambda a, b: b[0] < a[0], "panned to earlier times")]
    before = fitted
    for k, (modifiers, clicks, moved, what) in enumerate(steps):
        s.wheel(x + 3 * k, y, clicks, modifiers)
        save(s, window, bundle)
        after, _ = read(bundle, False)
        if not moved(before, after):
            raise session.Failure("the wheel %s: the window went from %s to %s, not %s"
                                  % ("+".join(modifiers), before, after, what))
        before = after
    s.screenshot("zoomed")

    # Everything, dragged 60 pixels to the right from a selected event.
    x0, y0 = white_pixel(s, window)
    s.drag(x0, y0, x0 + 60, y0, steps=20)
    save(s, window, bundle)
    shown, moved = read(bundle)
    shifts = sorted({round(moved[slot] - start, 3) for slot, start in generated.items()})
    if len(shifts) != 1 or abs(shifts[0] - 60 * shown[2]) > 0.01:
        raise session.Failure("the events did not move 60 pixels (%.3f s) together: by %s s"
                              % (60 * shown[2], shifts[:5]))
    s.screenshot("dragged")

    # One event out of the selection by the pointer, the rest deleted.
    x1, y1 = white_pixel(s, window)
    s.click(x1, y1, modifiers=("shift",))
    s.focus(window)
    s.key("BackSpace")
    save(s, window, bundle)
    _, left = read(bundle)
    if len(left) != 1:
        raise session.Failure("%d events are left, not the one taken out of the selection"
                              % len(left))
    s.quit(window)


session.run("crowdedView", body, traces=False)
