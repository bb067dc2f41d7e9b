#!/usr/bin/env python3
"""Real mouse stretches of an event's edges at the Days preset (a day is 60 pixels) move the edge
exactly as far as the pointer went from the press, wherever in the edge the press was: an
instant's end pulled out into a span, then the span's end pressed 2 pixels inside and pulled 50
pixels right, then its start pressed 2 pixels inside and pulled 20 pixels left, each in small
steps. The saved file shows each edge moved by the time of that many pixels at the saved zoom,
the other edge where it was."""

import session

DAYS = 1440  # the Days preset's seconds per pixel


def body(s):
    window, bundle, doc, slot = s.days_instant_document("Stretch", DAYS)

    def edges(doc):
        event = doc.events[slot]
        start = float(event["startTime"])
        return start, start + float(event["timeLength"])

    def stretch(x, y, pixels):
        """Presses at (x, y), moves the pointer by pixels in small steps, lets go and saves;
        what the bundle holds then."""
        x, y = int(round(x)), int(round(y))
        s.drag(x, y, x + pixels, y, steps=10)
        return s.save(window, bundle)

    # The instant's marker on the screen, centred on its time: the screen x of any time from it
    # (the view stays where it is).
    events = s.events_on_screen(window)
    if len(events) != 1:
        raise session.Failure("%d events are shown, not one" % len(events))
    x, y, w, h = events[0]
    centre, at, row = x + w / 2, edges(doc)[0], y + h / 2

    def screen_x(t):
        return centre + (t - at) / doc.time_zoom

    # The instant's end, 3 pixels inside its marker, out into a span.
    doc = stretch(x + w - 3, row, 120)
    if float(doc.events[slot]["timeLength"]) <= 0:
        raise session.Failure("the instant's end pulled out made no span")

    def check(doc, before, edge, pixels):
        start, end = edges(doc)
        moved, kept = (end - before[1], start - before[0]) if edge == "end" else \
                      (start - before[0], end - before[1])
        wanted = pixels * doc.time_zoom
        if abs(moved - wanted) > 1e-3 or abs(kept) > 1e-3:
            raise session.Failure("the %s pulled %d pixels moved %.3f s, not %.0f s (the other "
                                  "edge moved %.3f s)" % (edge, pixels, moved, wanted, kept))

    # The span's end, 2 pixels inside it, 50 pixels right.
    before = edges(doc)
    doc = stretch(screen_x(before[1]) - 2, row, 50)
    check(doc, before, "end", 50)

    # Its start, 2 pixels inside it, 20 pixels left.
    before = edges(doc)
    doc = stretch(screen_x(before[0]) + 2, row, -20)
    check(doc, before, "start", -20)
    s.screenshot()
    s.quit(window)


session.run("stretchDistance", body)
