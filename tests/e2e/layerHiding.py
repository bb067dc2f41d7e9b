#!/usr/bin/env python3
"""With the layer controls shown, the second layer's "H" lit, the corner's "H" takes that layer
away and a second click brings it back: its band and its event show again as they did before,
at once."""

import pixels
import session


def body(s):
    s.start()
    window = s.window("Untitled")
    s.painted(window)
    s.focus(window)
    s.key("l", "e", "l", "e", "alt+l")  # two layers of one event each, the controls shown
    (vw, vh), items = s.scene()
    bands = sorted((y, h) for z, w, h, x, y, shown in items if z == 0 and shown)
    if len(bands) != 2:
        raise session.Failure("%d layers shown, not two" % len(bands))
    # The view fills the window's right side above the control strip; the header column, with
    # its controls at its right edge, the left side, up to the splitter's one-pixel handle.
    ox, oy = window.x + window.w - vw, window.y + window.h - session.CONTROL_STRIP - vh
    hide_x = ox - 1 - 45 + 6
    y2, h2 = bands[1]
    band = (ox, oy + y2, vw, h2)
    s.click(hide_x, oy + y2 + 3 + 6)  # the second layer's own "H"
    s.wait("the second layer's header to light its \"H\"",
           lambda: "TOGGLE: T" in s.trace())
    before = pixels.Shot(s).region(*band)
    s.screenshot("lit")
    corner = (hide_x, oy - 15 + 6)
    s.click(*corner)
    s.wait("the second layer to go", lambda: pixels.differing(
        pixels.Shot(s).region(*band), before) > len(before) // 10)
    s.screenshot("hidden")
    s.click(corner[0] + 1, corner[1])  # not where the pointer is: xdotool would wait for a move
    try:
        s.wait("the second layer to come back", lambda: pixels.differing(
            pixels.Shot(s).region(*band), before) == 0, timeout=10)
    except session.Failure:
        s.screenshot("back")
        raise
    s.screenshot("back")
    s.quit(window)


session.run("layerHiding", body)
