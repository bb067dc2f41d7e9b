#!/usr/bin/env python3
"""Random input for a long while: the menus' shortcut keys, clicks and double clicks with
modifiers, drags (some ending outside the window), wheel turns with every combination of
modifiers, and resizes of the window, from a fixed seed; every so many actions the document is
saved under a new name. Passes when the program neither crashes nor reports a sanitizer
finding, every saved bundle holds as many events as the program said it had when saving, and
every saved bundle opens again.

    soak.py ... [--seed N] [--actions N] [--save-every N]
"""

import os
import random
import re

import session

KEYS = ["e", "e", "e", "l", "r", "ctrl+a", "BackSpace", "alt+l", "alt+minus", "alt+equal",
        "alt+n", "n", "f", "alt+f", "shift+f", "space", "Escape", "Delete"]
MODIFIERS = ["shift", "ctrl", "alt", "super"]
MENU_BAR = 30  # clicks stay below the menu bar: its menus can close the document
# The program's own dialogs that random input can open (menus are reached with Alt and the
# arrow keys too); each is answered with Escape.
DIALOGS = ("SDI", "Save as...", "Vantrel", "Open...", "Open Document...", "Check For Updates")
SAVED = re.compile(r"Saved (\S+) with (\d+) events")
BATCH = 10


def options(parser):
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--actions", type=int, default=5000)
    parser.add_argument("--save-every", type=int, default=500)


class Soak:
    def __init__(self, s):
        self.s = s
        self.rnd = random.Random(s.args.seed)
        self.window = None
        self.dismissed = 0

    def point(self, inside=True):
        w = self.window
        if inside:
            return (w.x + self.rnd.randrange(4, w.w - 4),
                    w.y + MENU_BAR + self.rnd.randrange(0, max(1, w.h - MENU_BAR - 4)))
        return self.rnd.randrange(0, 1280), self.rnd.randrange(0, 1024)

    def modifiers(self, most=2):
        return self.rnd.sample(MODIFIERS, self.rnd.randint(0, most))

    def action(self):
        """The xdotool steps of one random action."""
        r = self.rnd.random()
        if r < 0.35:
            return [["key", self.rnd.choice(KEYS)]]
        if r < 0.6:
            x, y = self.point()
            mods = self.modifiers(1)
            return ([["mousemove", x, y]] + [["keydown", m] for m in mods] +
                    [["click", "--repeat", self.rnd.choice([1, 1, 1, 2]), "--delay", "60", 1]] +
                    [["keyup", m] for m in mods])
        if r < 0.75:
            x0, y0 = self.point()
            x1, y1 = self.point(inside=self.rnd.random() < 0.85)
            steps = [["mousemove", x0, y0], ["mousedown", 1]]
            for i in range(1, 7):
                steps += [["mousemove", x0 + (x1 - x0) * i // 6, y0 + (y1 - y0) * i // 6],
                          ["sleep", "0.02"]]
            if self.rnd.random() < 0.2:
                steps.append(["key", "Escape"])
            return steps + [["mouseup", 1]]
        if r < 0.95:
            x, y = self.point()
            mods = self.modifiers(4)
            return ([["mousemove", x, y]] + [["keydown", m] for m in mods] +
                    [["click", "--repeat", self.rnd.randint(1, 3), "--delay", "20",
                      self.rnd.choice([4, 5])]] + [["keyup", m] for m in mods])
        return [["windowsize", self.window.id, self.rnd.randint(300, 1200),
                 self.rnd.randint(250, 900)]]

    def main_window(self):
        """The document's window: the named window that is no dialog of ours."""
        for w in self.s.windows():
            if w.name and w.name not in DIALOGS and w.w >= 300:
                return w
        return None

    def dismiss_dialogs(self):
        """A question or dialog that random input opened is answered with Escape."""
        for w in self.s.windows():
            if w.name in DIALOGS:
                self.s.focus(w)
                self.s.key("Escape")
                self.dismissed += 1

    def save(self, number):
        s = self.s
        self.dismiss_dialogs()
        s.focus(self.window)
        mark = len(s.trace())
        s.key("ctrl+shift+s")
        dialog = s.window("Save as...")
        s.focus(dialog)
        name = "soak-%02d" % number
        s.type(os.path.join(s.docs, name))
        s.key("Return")
        bundle = os.path.join(s.docs, name + ".orstime")
        s.wait_file(os.path.join(bundle, "doc_data.xml"))
        # As a tuple: a count of 0 is found too.
        reported, = s.wait("the count of the save of " + name, lambda: next(
            ((int(n),) for b, n in SAVED.findall(s.trace(), mark) if b == bundle), None))
        self.window = s.window(name)
        return bundle, reported


def body(s):
    soak = Soak(s)
    s.start()
    soak.window = s.window("Untitled")
    s.painted(soak.window)
    s.focus(soak.window)
    saves = []
    done = 0
    while done < s.args.actions:
        soak.dismiss_dialogs()
        soak.window = s.wait("the document's window", soak.main_window)
        s.focus(soak.window)
        steps = []
        for _ in range(min(BATCH, s.args.actions - done)):
            steps += soak.action()
            done += 1
            if done % s.args.save_every == 0:
                break
        s.xdo(*steps)
        s.check_clean()
        if done % s.args.save_every == 0:
            saves.append(soak.save(len(saves) + 1))
            print("%d actions, saved %s with %d events" % (done, *saves[-1]), flush=True)
    s.screenshot("last")
    # Leaving: a document changed since its last save asks; it is not saved again.
    s.quit(soak.window)
    s.check_clean()
    print("%d dialogs dismissed" % soak.dismissed)

    for bundle, reported in saves:
        doc = session.read_doc(bundle)
        if len(doc.events) != reported:
            raise session.Failure("%s holds %d events; the program said %d"
                                  % (bundle, len(doc.events), reported))
        s.start(bundle)
        name = os.path.basename(bundle)[: -len(".orstime")]
        window = s.window(name)
        if "could not be opened" in s.trace():
            raise session.Failure("%s did not open again" % bundle)
        s.quit(window)
        s.check_clean()


# The soak reads only the lines every run prints (saves, refusals): the busy paths stay quiet,
# as a user runs the program.
session.run("soak", body, options, traces=False)
