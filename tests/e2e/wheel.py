#!/usr/bin/env python3
"""The wheel turned away from the user over the view: alone it shows the rows above, with Alt
the times before, with Control and Alt it zooms the time axis in, with Control the rows in;
turned back it goes the other way. Turned sideways (X buttons 6 and 7) with no key held it pans
the time axis. Each saved bundle shows where the view went."""

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
    # Each turn (clicks > 0 away from the user, or sideways to the left), and what it must do to
    # a window (start, end).
    earlier = lambda a, b: b[0] < a[0]
    later = lambda a, b: b[0] > a[0]
    turns = [
        ((), 1, False, "rows", earlier),
        ((), -1, False, "rows", later),
        (("alt",), 2, False, "time", earlier),
        ((), 1, True, "time", earlier),
        ((), -2, True, "time", later),
        (("ctrl", "alt"), 1, False, "time", lambda a, b: b[1] - b[0] < a[1] - a[0]),
        (("ctrl", "alt"), -1, False, "time", lambda a, b: b[1] - b[0] > a[1] - a[0]),
        (("ctrl",), 1, False, "rows", lambda a, b: b[1] - b[0] < a[1] - a[0]),
    ]
    for k, (modifiers, clicks, sideways, axis, moved) in enumerate(turns):
        # A pointer moved (and waited for) to where it is already would keep xdotool waiting.
        s.wheel(x + 3 * k, y, clicks, modifiers, sideways)
        last, doc = doc, s.save(window, bundle)
        turn = "%s %+d%s" % ("+".join(modifiers) or "no key", clicks,
                             " sideways" if sideways else "")
        if not moved(getattr(last, axis), getattr(doc, axis)):
            raise session.Failure("%s: the %s went from %s to %s" % (
                turn, axis, getattr(last, axis), getattr(doc, axis)))
        if sideways and doc.rows != last.rows:
            raise session.Failure("%s moved the rows too" % turn)
    s.screenshot()
    s.quit(window)


session.run("wheel", body)
