#!/usr/bin/env python3
"""A screen of two device pixels a unit (QT_SCALE_FACTOR=2) shows a crowded view as a screen of
one does: a generated document fitted whole (Ctrl+A, F) at each factor, the events of its crowded
rows drawn at both. The view's mean brightness at factor 2 comes to that at factor 1 within a few
percent: the events (light, outlined in white once selected) make nearly half of it over the dark
bands. The crowded rows used to show almost nothing at factor 2."""

import os
import time

import pixels
import session

EVENTS, LAYERS = 20000, 10
# The view within the window at factor 1 (in units): less the header column on the left, the
# ruler on top and the control strip with a margin below.
LEFT, TOP, RIGHT, BOTTOM = 140, 130, 10, session.CONTROL_STRIP + 10
# How far the brightness at factor 2 may lie from that at factor 1, of it.
TOLERANCE = 0.05


def view(shot, window, factor):
    """The view's mean luma (0 to 1) and the share of its pixels that are white (the outlines of
    selected events)."""
    x0, y0 = window.x + LEFT * factor, window.y + TOP * factor
    w = window.w - (LEFT + RIGHT) * factor
    h = window.h - (TOP + BOTTOM) * factor
    if w <= 0 or h <= 0:
        raise session.Failure("the window %s has no view" % window)
    luma, white = 0.0, 0
    for y in range(y0, y0 + h):
        at = 3 * (y * shot.w + x0)
        row = shot.rgb[at:at + 3 * w]
        reds, greens, blues = row[0::3], row[1::3], row[2::3]
        luma += 0.299 * sum(reds) + 0.587 * sum(greens) + 0.114 * sum(blues)
        white += sum(1 for r, g, b in zip(reds, greens, blues) if r == g == b == 255)
    return luma / (255.0 * w * h), white / float(w * h)


def fitted(s, bundle, factor, done):
    """The program at that scale factor, the document fitted whole, and the view once done(what
    the view shows, the grabs before) says so: what the view shows then. The program ends after."""
    os.environ["QT_SCALE_FACTOR"] = str(factor)
    try:
        s.start(bundle)
    finally:
        del os.environ["QT_SCALE_FACTOR"]
    window = s.window("Crowd", timeout=120)
    s.painted(window, timeout=120)
    s.focus(window)
    mark = len(s.trace())
    s.key("ctrl+a", "f")
    s.wait_trace("END CMD: cmdViewFitSelected", after=mark, timeout=60)
    # The view is painted again a moment after the fit, once its rows are sorted out.
    grabs = []

    def shown():
        grabs.append((time.monotonic(), view(pixels.Shot(s), window, factor)))
        return done(grabs)
    try:
        s.wait("the fitted view at factor %d" % factor, shown, timeout=30)
    finally:
        s.screenshot("factor-%d" % factor)
        print("factor %d: window %s, the view's luma %.3f, white %.1f%%"
              % (factor, window, grabs[-1][1][0], 100 * grabs[-1][1][1]))
    s.quit(window)
    return grabs[-1][1]


def steady(grabs):
    """The same over the last two seconds or more, in three grabs at least. A grab of the whole
    screen takes a good part of a second on a busy machine, so the grabs are not counted within
    a fixed time."""
    same = []
    for at, seen in reversed(grabs):
        if seen != grabs[-1][1]:
            break
        same.append(at)
    return len(same) >= 3 and same[0] - same[-1] >= 2


def body(s):
    bundle = s.generate("Crowd", EVENTS, LAYERS)
    luma, white = fitted(s, bundle, 1, steady)
    if white < 0.02:
        raise session.Failure("at factor 1 the selected events' outlines take only %.1f%% of the "
                              "view" % (100 * white))
    fitted(s, bundle, 2, lambda grabs: abs(grabs[-1][1][0] - luma) <= TOLERANCE * luma)


session.run("crowdedScaled", body, screen="2560x2048", traces=False)
