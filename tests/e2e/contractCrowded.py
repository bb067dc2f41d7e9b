#!/usr/bin/env python3
"""The contract button of a crowded layer leaves every event in view drawn. In a generated
document fitted whole into the window, a rubber band across the first layer's top row and
Backspace empty that row; the layer header's "-" then moves the layer's events up a row each,
into a top row the layer had no longer. Each row of the layer must show as many events' pixels
as after a pan there and back, which draws the view afresh: those moved into the new row used
to be drawn by nothing until the next zoom or pan."""

import collections

import pixels
import session

EVENTS, LAYERS = 20000, 4
NEAR = 40  # a pixel this close to the layer's fill (in every channel) is fill or a row line
SHOWN = 0.1  # the share of event pixels a row of this document's first layer shows at least


def fit(s):
    """Select All and Fit Selected: the view's size and the layers' bands (y, height) in it."""
    mark = len(s.trace())
    s.key("ctrl+a", "f")
    s.wait_trace("END CMD: cmdViewFitSelected", after=mark)
    (vw, vh), items = s.scene(mark)
    return (int(vw), int(vh)), sorted((y, h) for z, w, h, x, y, shown in items if z == 0 and shown)


def settled(s, region, changed_from=None):
    """The screen once the region has changed (when a picture to change from is given) and then
    shows the same in two grabs running."""
    if changed_from is not None:
        s.wait("the view to change", lambda: pixels.differing(
            pixels.Shot(s).region(*region), changed_from) > 0)
    last = [None]

    def same():
        shot = pixels.Shot(s)
        now = shot.region(*region)
        stable, last[0] = now == last[0], now
        return shot if stable else None
    return s.wait("the view to settle", same)


def event_share(shot, fill, region):
    """The share of the region's pixels that show an event: not near the layer's fill."""
    px = shot.region(*region)
    return sum(1 for p in px if max(abs(a - b) for a, b in zip(p, fill)) > NEAR) / len(px)


def body(s):
    bundle = s.generate("Contract", EVENTS, LAYERS)
    rows = int(session.read_doc(bundle).layer_attrs[0]["numRows"])
    s.start(bundle)
    window = s.window("Contract", timeout=120)
    s.painted(window, timeout=120)
    s.focus(window)
    s.key("alt+l")  # the layer controls, the contract button among them
    (vw, vh), bands = fit(s)
    # The view fills the window's right side above the control strip, the header column its
    # left side up to the splitter's one-pixel handle.
    ox, oy = window.x + window.w - vw, window.y + window.h - session.CONTROL_STRIP - vh
    view = (ox, oy, vw, vh)
    top, height = bands[0]
    row_h = height / rows

    # Zoomed out a step, the events leave the view's ends free: a band pressed there, across
    # the middle of the first row, takes that row's events, which Backspace deletes.
    shot = pixels.Shot(s).region(*view)
    s.wheel(ox + vw // 2, oy + vh // 2, -1, ("ctrl", "alt"))
    settled(s, view, shot)
    middle = int(oy + top + row_h / 2)
    s.drag(ox + 3, middle - 2, ox + vw - 3, middle + 2, steps=6)
    mark = len(s.trace())
    s.key("BackSpace")
    s.wait_trace("END CMD: cmdEventDeleteSelected", after=mark)
    (vw, vh), bands = fit(s)
    top, height = bands[0]
    row_h = height / rows

    def row(k):
        """Row k of the first layer, less a line at its edges."""
        return (ox, int(oy + top + k * row_h) + 2, vw, int(row_h) - 4)

    before = settled(s, view)
    s.screenshot("before")
    # The layer's fill: what most of its band shows, its top row empty.
    band = before.region(ox, int(oy + top), vw, int(height))
    fill = collections.Counter(band).most_common(1)[0][0]
    if event_share(before, fill, row(0)) > 0.01:
        raise session.Failure("the band and Backspace left events in the first layer's top row")

    mark = len(s.trace())
    s.click(ox - 1 - 30 + 6, int(oy + top) + 3 + 6)  # the first layer's "-"
    s.wait_trace("Re-rowing", after=mark)
    after = settled(s, view, before.region(*view))
    s.screenshot("contracted")
    # A pan there and back: the scene made again from the rows as they are.
    s.wheel(ox + vw // 2, oy + vh // 2, 1, ("alt",))
    panned = settled(s, view, after.region(*view))
    s.wheel(ox + vw // 2 + 1, oy + vh // 2, -1, ("alt",))
    again = settled(s, view, panned.region(*view))
    s.screenshot("again")

    shares = [(event_share(after, fill, row(k)), event_share(again, fill, row(k)))
              for k in range(rows - 1)]
    print("event pixels by row of the first layer, contracted / panned there and back: " +
          ", ".join("%.1f%% / %.1f%%" % (100 * a, 100 * b) for a, b in shares))
    if shares[0][1] < SHOWN:
        raise session.Failure("after the contract button and a pan the first layer's top row "
                              "shows %.1f%% event pixels: no events moved up into it"
                              % (100 * shares[0][1]))
    for k, (contracted, redrawn) in enumerate(shares):
        if contracted < 0.8 * redrawn:
            raise session.Failure(
                "after the contract button row %d of the first layer shows %.1f%% event pixels, "
                "after a pan there and back %.1f%%: events in view were drawn by nothing"
                % (k, 100 * contracted, 100 * redrawn))
    s.quit(window)


session.run("contractCrowded", body)
