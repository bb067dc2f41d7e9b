#!/usr/bin/env python3
"""A double click on an event opens its editor; a title typed there with letters beyond ASCII
("ê", "€") reaches the saved file when the editor closes, and is there again after the program
is started anew with the bundle."""

import session

TITLE = "Fête 5€"


def body(s):
    s.start()
    window = s.window("Untitled")
    s.painted(window)
    s.focus(window)
    x, y, w, h = s.new_event(window)
    known = {w.id for w in s.windows()}
    s.click(int(x + w / 2), int(y + h / 2), count=2)
    editor = s.wait("the event editor", lambda: next(
        (w for w in s.windows() if w.id not in known), None))
    s.screenshot("editor")
    # The editor holds the keyboard; the title field is the first of its fields.
    s.focus(editor)
    s.key("Tab", "ctrl+a")
    s.type(TITLE)
    # In and out with the pointer: leaving the editor closes and saves it.
    s.xdo(["mousemove", "--sync", editor.x + editor.w // 2, editor.y + editor.h // 2],
          ["sleep", "0.2"], ["mousemove", "--sync", 1270, 1015])
    s.wait("the editor to close", lambda: all(w.id != editor.id for w in s.windows()))
    bundle, doc = s.save_as(window, "Title", "ctrl+shift+s")
    titles = [e["title"] for e in doc.events.values()]
    if titles != [TITLE]:
        raise session.Failure("the saved titles are %s" % titles)
    s.quit(s.window("Title"))

    s.start(bundle)
    window = s.window("Title")
    s.painted(window)
    _, doc = s.save_as(window, "Again", "ctrl+shift+s")
    titles = [e["title"] for e in doc.events.values()]
    if titles != [TITLE]:
        raise session.Failure("after opening again the titles are %s" % titles)
    s.quit(s.window("Again"))


session.run("editTitle", body)
