#!/usr/bin/env python3
"""Real mouse drags of an event at the Days preset (a day is 60 pixels) move it exactly as far as
the pointer went from the press: 60 pixels in small steps, the first of them short of the start
distance; then 120 pixels in one move, held there and let go. The saved file shows each start
later by the time of that many pixels at the saved zoom."""

import session

DAYS = 1440  # the Days preset's seconds per pixel


def body(s):
    window, bundle, doc, slot = s.days_instant_document("Distance", DAYS)

    def check(doc, before, pixels, how):
        moved = float(doc.events[slot]["startTime"]) - before
        if abs(moved - pixels * doc.time_zoom) > 1e-3:
            raise session.Failure("a drag of %d pixels %s moved the event %.3f s, not %.0f s"
                                  % (pixels, how, moved, pixels * doc.time_zoom))

    def middle(after):
        """The event's middle on the screen, from the scene's listing past the offset."""
        events = s.events_on_screen(window, after)
        if len(events) != 1:
            raise session.Failure("%d events are shown, not one" % len(events))
        x, y, w, h = events[0]
        return int(x + w / 2), int(y + h / 2)

    before = float(doc.events[slot]["startTime"])
    x, y = middle(0)
    mark = len(s.trace())
    s.drag(x, y, x + 60, y)  # 5 pixels a step
    doc = s.save(window, bundle)
    check(doc, before, 60, "in small steps")

    before = float(doc.events[slot]["startTime"])
    x, y = middle(mark)
    mark = len(s.trace())
    # The pointer rests where the last drop left it, on the event's middle: a synced move there
    # would wait for a motion that never comes.
    s.xdo(["mousemove", "--sync", x, y + 40], ["mousemove", "--sync", x, y], ["mousedown", 1],
          ["mousemove", "--sync", x + 120, y])
    s.wait_trace("Get HOVER DATA", after=mark)
    s.xdo(["sleep", "0.2"], ["mouseup", 1])
    doc = s.save(window, bundle)
    s.screenshot()
    check(doc, before, 120, "in one move")
    s.quit(window)


session.run("dragDistance", body)
