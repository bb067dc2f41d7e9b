#!/usr/bin/env python3
"""A document from the generator opens in the program, and saved again under another name it
holds the same elements in the same order and the same layers and events: the generator writes
what the program writes, and the program reads it."""

import session

KEPT = ("startTime", "timeLength", "rowIndex", "isImpulse", "title", "layer", "colorStyle")


def body(s):
    bundle = s.generate("Generated", 60, 3)
    made = session.read_doc(bundle)
    s.start(bundle)
    window = s.window("Generated")
    s.painted(window)
    s.screenshot()
    _, saved = s.save_as(window, "Copy", "ctrl+shift+s")
    if saved.shape != made.shape:
        at = next(i for i, (a, b) in enumerate(zip(saved.shape, made.shape)) if a != b)
        raise session.Failure("the saved file differs in form at element %d: %s, generated %s"
                              % (at, saved.shape[at], made.shape[at]))
    if [t for _, t in saved.layers] != [t for _, t in made.layers]:
        raise session.Failure("the layers differ: %s" % saved.layers)
    for slot, event in made.events.items():
        got = saved.events.get(slot, {})
        for key in KEPT:
            if got.get(key) != event[key]:
                raise session.Failure("event %d: %s is %s, generated %s"
                                      % (slot, key, got.get(key), event[key]))
    if s.quit(s.window("Copy")):
        raise session.Failure("a document just saved asked to be saved")


session.run("openGenerated", body)
