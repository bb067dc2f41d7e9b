#!/usr/bin/env python3
"""What the program writes by default while a person works on a large document: a line for the
document opened and one for it saved, each with its number of events, a line per command, and
nothing per event, key or refresh. Select All over 10,000 events, a drag of them all, typing, a
save and the close write fewer than 50 lines after start-up. A first run, with the busy paths
traced, finds where an event is drawn."""

import re

import session

EVENTS = 10000
MOST = 50  # lines after start-up
OPENED = re.compile(r"Opened (\S+) with (\d+) events\n")
SAVED = re.compile(r"Saved (\S+) with (\d+) events\n")


def modified(s):
    return any(w.name == "Big*" for w in s.windows())


def body(s):
    bundle = s.generate("Big", EVENTS, 1)

    # The widest event on screen, from the scene's listing, which only a traced run writes.
    s.traces = True
    s.start(bundle)
    window = s.window("Big")
    s.painted(window)
    x, y, w, h = max(s.events_on_screen(window), key=lambda r: r[2])
    s.quit(window)

    s.traces = False
    s.start(bundle)
    window = s.window("Big")
    s.painted(window)
    opened = s.wait("the line of the document opened", lambda: OPENED.search(s.trace()))
    if opened.group(1) != bundle or int(opened.group(2)) != EVENTS:
        raise session.Failure("opened line: %r" % opened.group(0))
    start = opened.end()

    s.focus(window)
    s.key("ctrl+a")
    s.wait_trace("END CMD: cmdSelectAll", after=start)
    cx, cy = int(x + w / 2), int(y + h / 2)
    s.drag(cx, cy, cx + 40, cy + 30)
    s.wait("the drag to change the document", lambda: modified(s))
    # Letters that are no shortcut, then one that is: its command runs after they were read.
    s.type("quiz")
    s.key("l")
    s.wait_trace("END CMD: cmdTimelineNewLayer", after=start)
    saved = s.save(window, bundle)
    if len(saved.events) != EVENTS:
        raise session.Failure("%d events saved" % len(saved.events))
    line = s.wait("the line of the document saved", lambda: SAVED.search(s.trace(), start))
    if line.group(1) != bundle or int(line.group(2)) != EVENTS:
        raise session.Failure("saved line: %r" % line.group(0))
    s.quit(s.window("Big"))

    after = s.trace()[start:]
    lines = after.count("\n")
    if lines >= MOST:
        raise session.Failure("%d lines after start-up, not fewer than %d; the first:\n%s"
                              % (lines, MOST, "\n".join(after.splitlines()[:20])))


session.run("standardOutput", body)
