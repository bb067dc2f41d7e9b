#!/usr/bin/env python3
"""Lock to now, then the Hours preset: at once, not a minute later, the view is centred on now,
where the now line is drawn, although a time picked on the ruler days earlier was in view."""

import time

import session


def body(s):
    window, (vw, vh) = s.new_layer_document()
    left = window.x + window.w - vw  # the time column: ruler, view, control strip
    strip = window.y + window.h - session.CONTROL_STRIP
    units = strip + 19  # the middle of the unit buttons' row, 18 wide, 3 apart, "D" centred
    s.click(left + vw // 2, units)  # Days: a day is 60 pixels
    s.click(left + vw // 5, strip - vh - 20)  # a time on the ruler, days before now
    s.key("n")
    s.click(left + vw // 2 - 21, units)  # Hours
    s.screenshot()
    _, doc = s.save_as(window, "Locked")
    now, (start, end) = time.time(), doc.time
    # Within the last two seconds, within two pixels of a minute.
    if abs((start + end) / 2 - now) > 120 + 2:
        raise session.Failure("the view's middle is %.0f s from now" % ((start + end) / 2 - now))
    s.quit(s.window("Locked"))


session.run("lockToNow", body)
