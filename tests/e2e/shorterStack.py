#!/usr/bin/env python3
"""Twenty presses of L take the view down with the new layers; Remove Empty Layers (from the
Layers menu) and then, after twenty more, the corner's "-" leave one layer, which must be in view
at once: its header shows, and the saved row window holds it."""

import pixels
import session


def body(s):
    s.start()
    window = s.window("Untitled")
    s.painted(window)
    s.focus(window)
    s.key("e", *["l"] * 20)  # an event in the first layer, then the empty ones
    (vw, vh), _ = s.scene()
    oy = window.y + window.h - session.CONTROL_STRIP - vh
    # The header column, left of the splitter's one-pixel handle, between the corner panes.
    strip = (window.x, oy, window.w - vw - 1, vh)

    def shows_one_layer(what):
        # An empty strip is one colour; a header brings its fill, its lines and its title.
        try:
            s.wait("the layer left in view after " + what,
                   lambda: pixels.Shot(s).colours(*strip) > 4, timeout=10)
        finally:
            s.screenshot(what.replace(" ", "-"))

    def check(doc, what):
        if len(doc.layers) != 1:
            raise session.Failure("%s left %d layers, not one" % (what, len(doc.layers)))
        layer = doc.layer_attrs[0]
        top, bottom = float(layer["modelY"]), float(layer["modelY"]) + float(layer["modelH"])
        if not doc.rows[0] <= top < bottom <= doc.rows[1] + 1e-6 and \
                not top <= doc.rows[0] < doc.rows[1] <= bottom:
            raise session.Failure("after %s the layer, rows %g to %g, is outside the window "
                                  "%g to %g" % (what, top, bottom, doc.rows[0], doc.rows[1]))

    s.key("alt", "Right", "Right", "Right", "Down", "Down", "Return")  # Layers > Remove Empty
    # Saved after the command has run: what the file holds and what the window shows then.
    bundle, doc = s.save_as(window, "Shorter")
    check(doc, "Remove Empty Layers")
    shows_one_layer("Remove Empty Layers")

    window = s.window("Shorter")
    s.focus(window)
    controls = (window.x + strip[2] - 45, oy - 15, 45, 12)
    hidden = pixels.Shot(s).region(*controls)
    s.key(*["l"] * 20)
    s.key("alt+l")  # the layer controls, the corner's among them
    s.wait("the corner's controls", lambda: pixels.differing(
        pixels.Shot(s).region(*controls), hidden) > 0, timeout=10)
    s.click(window.x + strip[2] - 30 + 6, oy - 15 + 6)  # the corner's "-"
    check(s.save(window, bundle), "the corner's collapse")
    shows_one_layer("the corner's collapse")
    s.quit(window)


session.run("shorterStack", body)
