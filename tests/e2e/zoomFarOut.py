#!/usr/bin/env python3
"""The time axis zoomed out with the wheel (turned toward the user with Control+Alt, five steps
a turn with Shift) until the zoom stops, then pushed past its ends with the control strip's
buttons, the wheel and Go To Now: each saved view lies within the times the calendar dates, its
ends stored as dates. E at the ruler's last pixel makes an event that Ctrl+S saves; dragged to the
view's first pixel it lands at the first dated time; the program started again with the bundle
opens it."""

import os
import xml.etree.ElementTree as ET

import session

DATED = 1e16  # seconds from 1970 within which every instant has a date


def time_scale(bundle, after):
    """The stored timeline time scale, once both ends of its window are checked for dates."""
    root = ET.parse(os.path.join(bundle, "doc_data.xml")).getroot()
    for obj in root.iter("object"):
        if obj.get("_t") == "mScale" and session.attrs(obj).get("note") == "Timeline TIME scale":
            for name in ("vis_start", "vis_end"):
                end = obj.find(name)
                if end.get("yr") is None or abs(session.stamp(end)) > DATED:
                    raise session.Failure("after %s the view's %s is %s, no date" % (
                        after, name, dict(end.attrib)))
            return obj
    raise session.Failure("the document holds no timeline time scale")


def body(s):
    window, (vw, vh) = s.new_layer_document()
    s.wheel(window.x + window.w * 2 // 3, window.y + window.h // 2, -50,
            modifiers=("ctrl", "alt", "shift"))
    # Held by the view's own limit, or on a narrow view by the policy's.
    s.wait("the zoom to stop", lambda: any(
        t in s.trace() for t in ("is beyond the largest zoom", "ZOOM LIMIT REACHED!")))
    bundle, _ = s.save_as(window, "Far")
    window = s.window("Far")
    scale = time_scale(bundle, "zooming out")
    zoom = scale.find("zoom")
    zoom = int(zoom.get("dy")) * 86400 + int(zoom.get("sc")) + int(zoom.get("ns")) / 1e9
    size = int(session.attrs(scale)["parentSize"])
    # The farthest spreads the dated times across the view, to the whole second per pixel.
    if zoom * size < 2 * DATED - size:
        raise session.Failure("the saved zoom is %g seconds per pixel, not the farthest" % zoom)

    left, strip = window.x + window.w - vw, window.y + window.h - session.CONTROL_STRIP
    middle, view_y = left + vw // 2, strip - vh // 2
    # The strip's "<" and ">" are in its second row, "-" under "<".
    for after, step in [('">" five times', lambda: s.click(middle + 52, strip + 40, count=5)),
                        ('"<" twelve times', lambda: s.click(middle - 53, strip + 40, count=12)),
                        ('"-"', lambda: s.click(middle - 53, strip + 61, count=3)),
                        ("the wheel sideways", lambda: s.wheel(middle, view_y, -30, (), True)),
                        ("the wheel with Alt", lambda: s.wheel(middle + 1, view_y, 60, ("alt",))),
                        ("Go To Now", lambda: s.key("alt+n"))]:
        step()
        s.save(window, bundle)
        time_scale(bundle, after)
    s.click(left + vw - 1, strip - vh - 20)  # the ruler's last pixel
    mark = len(s.trace())
    s.key("e")
    starts = [float(e["startTime"]) for e in s.save(window, bundle).events.values()]
    if len(starts) != 1 or abs(starts[0]) > DATED:
        raise session.Failure("E at the ruler's end saved the starts %s" % starts)
    # Dropped on the view's first pixel, where the splitter's grip reaches over the view: the
    # instant lands as at the first pixel the grip leaves free (two pixels on), within a pixel.
    scale = time_scale(bundle, "the new event")
    zoom = scale.find("zoom")
    zoom = int(zoom.get("dy")) * 86400 + int(zoom.get("sc")) + int(zoom.get("ns")) / 1e9
    free = session.stamp(scale.find("vis_start")) + 2 * zoom
    x, y, w, h = s.events_on_screen(window, mark)[0]
    s.drag(int(x + w / 2), int(y + h / 2), left, int(y + h / 2))
    starts = [float(e["startTime"]) for e in s.save(window, bundle).events.values()]
    if len(starts) != 1 or abs(starts[0] - free) > 1.5 * zoom:
        raise session.Failure("a drop on the view's first pixel saved the starts %s, not %g"
                              % (starts, free))
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
