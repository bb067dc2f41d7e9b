#!/usr/bin/env python3
"""The wheel turned away from the user over the view: alone it shows the rows above, with Alt
the times before, with Control and Alt it zooms the time axis in, with Control the rows in;
turned back it goes the other way. Each saved bundle shows where the view went."""

import session


def body(s):
    s.start()
    window = s.window("Untitled")
    s.painted(window)
    s.focus(window)
    s.key(*["l"] * 8)  # taller than the view, which follows the last layer to the bottom
    (vw, vh), _ = s.scene()
    x, y = window.x + window.w - vw // 2, window.y + window.h - session.CONTROL_STRIP - vh // 2
    bundle, doc = s.save_as(window, "Wheel")
    # Each turn (clicks > 0 away from the user), and what it must do to a window (start, end).
    turns = [
        ((), 1, "rows", lambda a, b: b[0] < a[0]),
        ((), -1, "rows", lambda a, b: b[0] > a[0]),
        (("alt",), 2, "time", lambda a, b: b[0] < a[0]),
        (("ctrl", "alt"), 1, "time", lambda a, b: b[1] - b[0] < a[1] - a[0]),
        (("ctrl", "alt"), -1, "time", lambda a, b: b[1] - b[0] > a[1] - a[0]),
        (("ctrl",), 1, "rows", lambda a, b: b[1] - b[0] < a[1] - a[0]),
    ]
    for k, (modifiers, clicks, axis, moved) in enumerate(turns):
        # A pointer moved (and waited for) to where it is already would keep xdotool waiting.
        s.wheel(x + 3 * k, y, clicks, modifiers)
        before, doc = getattr(doc, axis), s.save(window, bundle)
        if not moved(before, getattr(doc, axis)):
            raise session.Failure("%s %+d: the %s went from %s to %s" % (
                "+".join(modifiers) or "no key", clicks, axis, before, getattr(doc, axis)))
    s.screenshot()
    s.quit(window)


session.run("wheel", body)
