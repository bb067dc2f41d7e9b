#!/usr/bin/env python3
"""The main window over a generated document of a few hundred events, as the README shows it:
the document opens under its name and paints. With --keep PATH the window's picture is also
copied there (tests/e2e/main-window.png is the README's)."""

import shutil

import session


def options(parser):
    parser.add_argument("--keep", help="where to copy the window's picture")


def body(s):
    bundle = s.generate("Plans", 600, 6, "--view-days", "10")
    s.start(bundle)
    window = s.window("Plans")
    s.painted(window)
    picture = s.screenshot()
    shot = picture.replace(".png", "-window.png")
    s.x("import", "-window", window.id, shot)
    if s.args.keep:
        shutil.copyfile(shot, s.args.keep)
    if s.quit(window):
        raise session.Failure("a document just opened asked to be saved")


session.run("mainWindow", body, options)
