#!/usr/bin/env python3
"""Real mouse drags of an event: onto another row; below the last layer, where it stays in the
stack's last row as its ghost shows; and there again with Ctrl held (the full zoning), onto a new
layer, moved and not copied. The saved file shows each move. The same drag ended with Escape,
one dropped outside the window and one let go over the ruler move nothing and lose nothing."""

import session


def placement(doc):
    """Each event's layer (by place in the stack), row and start."""
    return {slot: (doc.layer_index(e["layer"]), e["rowIndex"], e["startTime"])
            for slot, e in doc.events.items()}


def body(s):
    s.start()
    window = s.window("Untitled")
    s.painted(window)
    s.focus(window)
    # A layer, an event in its first row and one below it in its second.
    s.key("l", "e", "e")
    bundle, saved = s.save_as(window, "Drag", "ctrl+shift+s")
    window = s.window("Drag")

    def drag_top(where, finish="drop", hold=()):
        """Drags the top event to where(top, second, row height) from a point inside it, with
        the keys in hold held once the drag is under way."""
        events = s.events_on_screen(window)
        if len(events) != 2:
            raise session.Failure("%d events are shown, not two" % len(events))
        top, second = events
        # The middle: the ends of an item stretch it.
        x, y = int(top[0] + top[2] / 2), int(top[1] + top[3] / 2)
        to_x, to_y = where(top, second, second[1] - top[1])
        s.drag(x, y, int(to_x), int(to_y), finish, hold=hold)

    # Onto the second row, clear of the event there.
    before = placement(saved)
    drag_top(lambda top, second, row: (second[0] + second[2] + top[2] + 20, top[1] + row * 1.5))
    after = placement(s.save(window, bundle))
    s.screenshot("row")
    if not [slot for slot in before if before[slot][1] != after[slot][1]]:
        raise session.Failure("no event changed rows: %s" % after)

    # The same drag given up with Escape, then one dropped outside the window: nothing moves.
    before = after
    drag_top(lambda top, second, row: (top[0] + 40, top[1] + row * 1.5), finish="escape")
    drag_top(lambda top, second, row: (1270, 1015))
    after = placement(s.save(window, bundle))
    if after != before:
        raise session.Failure("an event moved: %s, before %s" % (after, before))

    # The lower event up over the ruler, so quickly that the drag starts in the row above: no
    # ghost may stand over the ruler, and the release there moves nothing.
    (_, view_h), _ = s.scene()
    ruler = window.y + window.h - session.CONTROL_STRIP - view_h - 30
    _, second = s.events_on_screen(window)
    x, y = int(second[0] + second[2] / 2), int(second[1] + second[3] / 2)
    mark = len(s.trace())
    s.xdo(["mousemove", "--sync", x, y], ["mousedown", 1],
          ["mousemove", "--sync", x, (y + ruler) // 2])
    mark = s.wait_trace("found layer", after=mark)
    s.xdo(["mousemove", "--sync", x, ruler])
    s.wait_trace("NO DRAW!", after=mark)
    s.xdo(["mouseup", 1])
    if placement(s.save(window, bundle)) != before:
        raise session.Failure("an event let go over the ruler moved")

    # Below the last layer without Ctrl: the ghost stays in the stack's last row, and the drop
    # puts the event there.
    below = window.y + window.h - session.CONTROL_STRIP - 10
    drag_top(lambda top, second, row: (top[0] + 5, below))
    doc = s.save(window, bundle)
    if len(doc.layers) != 1:
        raise session.Failure("%d layers after a plain drop below the last, not 1" %
                              len(doc.layers))
    last = max(float(e["rowIndex"]) for e in doc.events.values())
    moved = [slot for slot in after if placement(doc)[slot][2] != after[slot][2]]
    if len(moved) != 1 or float(doc.events[moved[0]]["rowIndex"]) != last:
        raise session.Failure("the event dropped below the stack is not in its last row: %s"
                              % placement(doc))

    # With Ctrl held, the full zoning: a new layer takes it, moved and not copied.
    before = placement(doc)
    drag_top(lambda top, second, row: (top[0] + 5, below), hold=("ctrl",))
    doc = s.save(window, bundle)
    s.screenshot("layer")
    if len(doc.layers) != 2:
        raise session.Failure("%d layers after the drop below the last with Ctrl, not 2"
                              % len(doc.layers))
    if len(doc.events) != 2:
        raise session.Failure("%d events after the drops, not 2" % len(doc.events))
    now = placement(doc)
    if sorted(layer for layer, _, _ in now.values()) != [0, 1]:
        raise session.Failure("not one event in each layer: %s, before %s" % (now, before))
    s.quit(window)


session.run("dragEvent", body)
