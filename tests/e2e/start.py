#!/usr/bin/env python3
"""Start and quit: one window "Untitled" of 800 by 600 that paints; Ctrl+Q ends the program
cleanly (exit status 0, no leak reported at exit)."""

import session


def body(s):
    s.start()
    window = s.window("Untitled")
    if (window.w, window.h) != (800, 600):
        raise session.Failure("the window is %dx%d, not 800x600" % (window.w, window.h))
    named = [w for w in s.windows() if w.name and w.name != "Untitled"]
    if named:
        raise session.Failure("other windows are shown: %s" % named)
    s.painted(window)
    s.screenshot()
    if s.quit(window):
        raise session.Failure("a new document asked to be saved")


session.run("start", body)
