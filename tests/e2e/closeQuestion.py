#!/usr/bin/env python3
"""Ctrl+W on a modified document asks whether to save it; Cancel (Escape) keeps the window and
its document; "Don't Save" closes it, and with its last window gone the program ends."""

import session


def body(s):
    s.start()
    window = s.window("Untitled")
    s.painted(window)
    s.focus(window)
    s.key("e")
    s.key("ctrl+w")
    question = s.window("SDI")
    s.screenshot("question")
    s.focus(question)
    s.key("Escape")
    s.wait_trace("Maybe save => CANCEL")
    s.no_window("SDI")
    window = s.window("Untitled")
    s.focus(window)
    s.key("ctrl+w")
    question = s.window("SDI")
    s.focus(question)
    s.dont_save()
    s.wait_trace("Maybe save => DONT SAVE")
    if s.wait_exit() != 0:
        raise session.Failure("the program ended with status %d" % s.program.returncode)


session.run("closeQuestion", body)
