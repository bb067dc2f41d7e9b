"""The whole program under a real X server: one Xvfb of the test's own, the program with a home
of its own, real input through the X server (xdotool), and what a person or a test looks at
afterwards: the saved files, the window list, the program's trace and a screenshot.

A test script hands its body to run(), which makes a Session from the command line (--program,
--out, --tools), runs the body with it and fails the test on a failed check (Failure), a crash,
an assertion or a sanitizer report; the screenshot and the trace stay in the build tree either
way.
"""

import argparse
import ctypes
import ctypes.util
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# What a sanitizer or the program's own last words look like in its output.
BAD_OUTPUT = re.compile(r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|"
                        r"ASSERTION FAILED|ERROR IN EVENT HANDLER")
ANSI = re.compile(r"\x1b\[[0-9;]*m")
# The graphics view's listing of its scene, which it traces after every sync of its event items.
SCENE_HEAD = re.compile(r"<-+ (\d+) SCENE ITEMS, within sceneRect ([\d.]+) x ([\d.]+) @")
SCENE_ITEM = re.compile(r"Item QGraphicsItem, z=([-\d.]+),\s+([-\d.]+) x ([-\d.]+) @ "
                        r"\( ([-\d.]+), ([-\d.]+) \) (VISIBLE|invisible)")
CONTROL_STRIP = 80  # the control panel's height, under the graphics view
INSTANT_WIDTH = 30  # an instant's item is this wide, centred on its time; a span's starts there
# A window line of `xwininfo -root -tree`: id, "name" (or no name), then WxH+x+y  +X+Y.
WINDOW_LINE = re.compile(r'^\s*(0x[0-9a-f]+) (?:"(.*?)"|\(has no name\)): .*?'
                         r"(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s+\+(-?\d+)\+(-?\d+)\s*$")
SLOW = float(os.environ.get("VANTREL_E2E_SLOW", "1"))  # a factor on every wait bound


class Failure(Exception):
    pass


def map_letters(display, keysyms):
    """Puts each keysym on a spare key of its own, before the program starts. A letter beyond
    the keyboard's ("ê", "€") would else be typed by xdotool on a spare key it maps for the moment
    and maps back at once, and a program that reads the key after that gets nothing."""
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                     ctypes.POINTER(ctypes.c_int)]
    x11.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
    x11.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int,
                                        ctypes.POINTER(ctypes.c_int)]
    x11.XStringToKeysym.restype = ctypes.c_ulong
    x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
    x11.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                           ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        raise Failure("cannot open display %s to map letters" % display)
    try:
        lo, hi, per = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        x11.XDisplayKeycodes(dpy, ctypes.byref(lo), ctypes.byref(hi))
        count = hi.value - lo.value + 1
        syms = x11.XGetKeyboardMapping(dpy, lo.value, count, ctypes.byref(per))
        spare = [lo.value + k for k in range(count)
                 if all(syms[k * per.value + i] == 0 for i in range(per.value))]
        x11.XFree(syms)
        # Not the first (8, below every real key) nor the last, which xdotool takes for its own.
        spare = spare[1:-1]
        if len(spare) < len(keysyms):
            raise Failure("the keyboard has no spare keys for %s" % (keysyms,))
        for keysym, code in zip(keysyms, reversed(spare)):
            one = (ctypes.c_ulong * 1)(x11.XStringToKeysym(keysym.encode()))
            x11.XChangeKeyboardMapping(dpy, code, 1, one, 1)
        x11.XSync(dpy, 0)
    finally:
        x11.XCloseDisplay(dpy)


class Window:
    def __init__(self, wid, name, w, h, x, y):
        self.id, self.name, self.w, self.h, self.x, self.y = wid, name, w, h, x, y

    def __repr__(self):
        return '%s "%s" %dx%d+%d+%d' % (self.id, self.name, self.w, self.h, self.x, self.y)


class Doc:
    """What a saved document holds: its layers in stack order (slot, title) with their stored
    attributes, its events by slot (their stored attributes, "layer" the slot of their layer),
    the visible windows of its time axis (seconds since 1970) and of its rows, the time axis's
    zoom (seconds per pixel), and its own record."""

    def __init__(self, root):
        self.layers, self.layer_attrs, self.events, self.record = [], [], {}, {}
        objects = {}
        for t in root.find("objects").findall("type"):
            for addr in t.iter("addr"):
                objects[(t.get("name"), int(addr.get("_id")))] = addr.find("object")
        timelines = [o for (kind, _), o in objects.items() if kind == "mTimeline"]
        if len(timelines) != 1:
            raise Failure("the document holds %d timelines" % len(timelines))
        for h in timelines[0].find("layers"):
            layer = objects[("mLayer", int(h.get("oid")))]
            self.layers.append((int(h.get("oid")), attrs(layer)["title"]))
            self.layer_attrs.append(attrs(layer))
        for h in timelines[0].find("events"):
            slot = int(h.get("oid"))
            event = objects[("mEvent", slot)]
            self.events[slot] = dict(attrs(event), layer=int(event.find("event_layer").get("oid")))
        self.record = attrs(root.find("doc"))
        time_scale = objects[("mScale", int(timelines[0].find("time_scale").get("oid")))]
        self.time, self.rows = [visible(objects[("mScale", int(timelines[0].find(name).get("oid")))])
                                for name in ("time_scale", "row_scale")]
        zoom = time_scale.find("zoom")
        self.time_zoom = (int(zoom.get("dy")) * 86400 + int(zoom.get("sc"))
                          + int(zoom.get("ns")) / 1e9)
        self.shape = [(e.tag, tuple(e.attrib), e.get("_id") if e.tag == "attr" else None)
                      for e in root.iter()]

    def layer_index(self, slot):
        return [s for s, _ in self.layers].index(slot)


def attrs(element):
    return {a.get("_id"): a.get("value") for a in element.findall("attr")}


def stamp(element):
    """A stored time in seconds since 1970 (any year), or a stored row value."""
    if element.get("num") is not None:
        return float(element.get("num"))
    y, m, d, hr, mn, sc = [int(element.get(k)) for k in ("yr", "mo", "dy", "hr", "mn", "sc")]
    # Days from 1970-01-01 in the proleptic Gregorian calendar.
    y -= m <= 2
    era = y // 400
    yoe = y - era * 400
    doy = (153 * (m + (-3 if m > 2 else 9)) + 2) // 5 + d - 1
    days = era * 146097 + yoe * 365 + yoe // 4 - yoe // 100 + doy - 719468
    return (days * 86400 + hr * 3600 + mn * 60 + sc - int(element.get("gmtOffsetSecs"))
            + int(element.get("ns")) / 1e9)


def visible(scale):
    """A scale's visible window: (start, end)."""
    return stamp(scale.find("vis_start")), stamp(scale.find("vis_end"))


def read_doc(bundle):
    import xml.etree.ElementTree as ET
    path = os.path.join(bundle, "doc_data.xml")
    with open(path, "rb") as f:
        head = f.read(60)
    if not head.startswith(b'<?xml version="1.0" encoding="ISO-8859-1"?>'):
        raise Failure("%s does not begin with the ISO-8859-1 declaration" % path)
    return Doc(ET.parse(path).getroot())


def arguments(extra=None):
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True, help="the vantrel program")
    parser.add_argument("--out", required=True, help="where screenshots and traces go")
    parser.add_argument("--tools", required=True, help="the source tree's tools folder")
    if extra:
        extra(parser)
    args = parser.parse_args()
    # The program runs in a folder of its own.
    args.program, args.tools = os.path.abspath(args.program), os.path.abspath(args.tools)
    return args


class Session:
    def __init__(self, name, args, screen="1280x1024", traces=True):
        self.name = name
        self.args = args
        # The scripts read the scene's listing, which the program traces only when asked.
        self.traces = traces
        self.out = args.out
        os.makedirs(self.out, exist_ok=True)
        self.tmp = tempfile.mkdtemp(prefix="vantrel-e2e-%s-" % name)
        self.home = os.path.join(self.tmp, "home")
        self.docs = os.path.join(self.tmp, "docs")
        os.makedirs(self.docs)
        self.program = None
        self.runs = 0
        self.log_path = None
        self.xvfb = None
        self._start_xvfb(screen)

    # --- the X server ---------------------------------------------------------------------------

    def _start_xvfb(self, screen):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", screen + "x24", "-nolisten", "tcp",
             "-noreset"], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        deadline = time.monotonic() + 30 * SLOW
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(read, 16) if ready else b""
            if not chunk:
                os.close(read)
                raise Failure("Xvfb gave no display number")
            number += chunk
        os.close(read)
        self.display = ":" + number.decode().strip()
        map_letters(self.display, ("ecircumflex", "EuroSign"))

    def x(self, *command, check=True):
        """Runs an X client on the test's display; its output."""
        env = dict(os.environ, DISPLAY=self.display)
        done = subprocess.run(list(command), env=env, capture_output=True, text=True,
                              timeout=60 * SLOW)
        if check and done.returncode != 0:
            raise Failure("%s failed: %s" % (" ".join(command), done.stderr.strip()))
        return done.stdout

    # --- the program ----------------------------------------------------------------------------

    def start(self, *files):
        """Starts the program (with documents to open); its trace goes to <out>/<name>.log."""
        if self.program and self.program.poll() is None:
            raise Failure("the program is already running")
        self.runs += 1
        env = dict(os.environ)
        for var in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "SESSION_MANAGER"):
            env.pop(var, None)
        env.update(DISPLAY=self.display, HOME=self.home,
                   XDG_DATA_HOME=os.path.join(self.home, ".local/share"),
                   XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                   XDG_RUNTIME_DIR=os.path.join(self.tmp, "run"), LC_ALL="C.UTF-8",
                   # No desktop portal runs here: Qt 6.8's X11 platform asks the session bus for
                   # one at start and leaks the unanswered call's watcher at exit.
                   QT_NO_XDG_DESKTOP_PORTAL="1")
        # The X keyboard library hands strndup buffers without an end mark, which strict
        # string checks take for overflows: off for the whole program, whatever else is asked.
        asan = [o for o in env.get("ASAN_OPTIONS", "detect_leaks=1:abort_on_error=1").split(":")
                if o and not o.startswith("strict_string_checks")]
        env["ASAN_OPTIONS"] = ":".join(asan + ["strict_string_checks=0"])
        env["LSAN_OPTIONS"] = "suppressions=%s:print_suppressions=0" % os.path.join(
            os.path.dirname(os.path.abspath(__file__)), "lsan.supp")
        env.setdefault("UBSAN_OPTIONS", "print_stacktrace=1:halt_on_error=1")
        if self.traces:
            env["VANTREL_TRACE"] = "1"
        else:
            env.pop("VANTREL_TRACE", None)
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        self.log_path = os.path.join(self.out, "%s-%d.log" % (self.name, self.runs))
        self.log = open(self.log_path, "wb")
        self.log_read = 0
        self.seen = ""
        self.checked = 0
        self.program = subprocess.Popen([self.args.program, *files], env=env, cwd=self.tmp,
                                        stdout=self.log, stderr=subprocess.STDOUT)

    def trace(self):
        """Everything the program has written so far, without colours."""
        with open(self.log_path, "rb") as f:
            f.seek(self.log_read)
            chunk = f.read()
        self.log_read += len(chunk)
        self.seen += ANSI.sub("", chunk.decode("utf-8", "replace"))
        return self.seen

    def running(self):
        return self.program is not None and self.program.poll() is None

    def wait(self, what, test, timeout=30):
        """Waits until test() gives something true, and returns it; fails after the bound."""
        deadline = time.monotonic() + timeout * SLOW
        pause = 0.02
        while True:
            got = test()
            if got:
                return got
            if self.program is not None and self.program.poll() is not None and \
                    "exit" not in what:
                raise Failure("the program ended (status %s) while waiting for %s"
                              % (self.program.returncode, what))
            if time.monotonic() > deadline:
                raise Failure("gave up waiting for " + what)
            time.sleep(pause)
            pause = min(pause * 2, 0.25)

    def wait_trace(self, text, timeout=30, after=0):
        """Waits for a trace line holding the text (past the offset); the offset after it."""
        def found():
            at = self.trace().find(text, after)
            return at + len(text) if at >= 0 else None
        return self.wait('"%s" in the trace' % text, found, timeout)

    def scene(self, after=0, timeout=30):
        """The last whole listing of the scene in the trace, written past the offset: the view's
        size and its items as (z, w, h, x, y, visible), positions relative to the parent item."""
        def listing():
            text = self.trace()
            found = None
            for head in SCENE_HEAD.finditer(text, after):
                count = int(head.group(1))
                items = SCENE_ITEM.findall(text, head.end())[:count]
                if len(items) == count:
                    found = ((float(head.group(2)), float(head.group(3))),
                             [(float(z), float(w), float(h), float(x), float(y), v == "VISIBLE")
                              for z, w, h, x, y, v in items])
            return found
        return self.wait("a listing of the scene", listing, timeout)

    def events_on_screen(self, window, after=0):
        """The visible event items of a timeline of one layer as screen rectangles (x, y, w, h),
        top to bottom, from the scene's last listing: the view fills the window's right side
        above the control strip."""
        (vw, vh), items = self.scene(after)
        layers = [i for i in items if i[0] == 0 and i[5]]
        if len(layers) != 1:
            raise Failure("%d layers are shown, not one" % len(layers))
        lx, ly = layers[0][3], layers[0][4]
        ox = window.x + window.w - vw
        oy = window.y + window.h - CONTROL_STRIP - vh
        return sorted(((ox + lx + x - (w / 2 if w == INSTANT_WIDTH else 0), oy + ly + y, w, h)
                       for z, w, h, x, y, v in items if z == 1 and v), key=lambda r: (r[1], r[0]))

    def new_event(self, window):
        """L then E in a new document's window: a layer and an instant in it, selected. The
        instant's screen rectangle (x, y, w, h)."""
        mark = len(self.trace())
        self.key("l", "e")
        # The layer is listed alone first, when L has been handled and E not yet.
        shown = []
        def one_event():
            shown[:] = self.events_on_screen(window, mark)
            return len(shown) == 1
        try:
            self.wait("the new instant to be listed", one_event)
        except Failure:
            raise Failure("%d events are shown, not one" % len(shown))
        return shown[0]

    def saved_event(self, name):
        """Starts the program, makes a layer and an instant in its new document and saves it as
        <documents>/<name>; the window (with the keyboard again), the instant's rectangle, the
        bundle and what it holds."""
        self.start()
        window = self.window("Untitled")
        self.painted(window)
        self.focus(window)
        rect = self.new_event(window)
        bundle, doc = self.save_as(window, name)
        window = self.window(name)
        self.wait_keyboard(window)  # back from the save dialog
        return window, rect, bundle, doc

    def wait_exit(self, timeout=30):
        self.wait("the program to exit", lambda: self.program.poll() is not None, timeout)
        return self.program.returncode

    def quit(self, window):
        """Ctrl+Q in the window; a question about unsaved changes is answered "Don't Save".
        Fails unless the program then ends with status 0; whether it asked."""
        self.focus(window)
        self.key("ctrl+q")
        self.wait("the program to exit or ask", lambda: not self.running() or any(
            w.name == "SDI" for w in self.windows()))
        asked = self.running()
        if asked:
            self.focus(self.window("SDI"))
            self.dont_save()
        status = self.wait_exit()
        if status != 0:
            raise Failure("the program ended with status %d" % status)
        return asked

    def dont_save(self):
        """Answers the focused save question "Don't Save": the button after the default one."""
        self.key("Tab", "space")

    # --- windows --------------------------------------------------------------------------------

    def windows(self):
        """The mapped top-level windows (children of the root), named or not, that have a size."""
        out = []
        for line in self.x("xwininfo", "-root", "-children").splitlines():
            m = WINDOW_LINE.match(line)
            if m:
                wid, name = m.group(1), m.group(2) or ""
                w, h = int(m.group(3)), int(m.group(4))
                if w > 1 and h > 1 and self._viewable(wid):
                    out.append(Window(wid, name, w, h, int(m.group(7)), int(m.group(8))))
        return out

    def _viewable(self, wid):
        return "IsViewable" in self.x("xwininfo", "-id", wid, check=False)

    def tree(self):
        return self.x("xwininfo", "-root", "-tree")

    def window(self, name, timeout=30):
        """Waits for a shown window of that name (with "*" after it while it is modified)."""
        def find():
            for w in self.windows():
                if w.name in (name, name + "*"):
                    return w
            return None
        return self.wait('a window "%s"' % name, find, timeout)

    def no_window(self, name, timeout=30):
        self.wait('no window "%s"' % name,
                  lambda: all(w.name not in (name, name + "*") for w in self.windows()), timeout)

    def colours(self, window):
        """How many colours the window shows now."""
        shot = os.path.join(self.tmp, "window.png")
        self.x("import", "-window", window.id, shot)
        return int(self.x("identify", "-format", "%k", shot).strip() or 0)

    def painted(self, window, timeout=30):
        """Waits until the window shows more than one colour: it has painted."""
        self.wait("%s to paint" % window, lambda: self.colours(window) > 1, timeout)

    def focus(self, window):
        # No window manager: the program's window gets the keyboard from us.
        self.x("xdotool", "windowfocus", "--sync", window.id, check=False)

    def new_layer_document(self):
        """Starts the program on a new document and gives it a layer (the key "l"): its window, and
        the view's size (width, height) from the scene's listing."""
        self.start()
        window = self.window("Untitled")
        self.painted(window)
        self.focus(window)
        self.key("l")
        size, _ = self.scene()
        return window, size

    def days_instant_document(self, name, days):
        """A new document with a layer at the Days preset (days: its seconds per pixel) and one
        instant in the middle of the view, selected, saved as name: its window, the bundle, the
        saved document and the instant's slot."""
        window, (vw, _) = self.new_layer_document()
        left = window.x + window.w - vw  # the time column: ruler, view, control strip
        units = window.y + window.h - CONTROL_STRIP + 19  # the unit buttons, "D" centred
        self.click(left + vw // 2, units)
        self.focus(window)
        mark = len(self.trace())
        self.key("e")
        self.wait_trace("SCENE ITEMS", after=mark)
        bundle, doc = self.save_as(window, name)
        window = self.window(name)
        if doc.time_zoom != days:
            raise Failure("the zoom is %g seconds per pixel, not the Days preset's"
                          % doc.time_zoom)
        (slot,) = doc.events
        return window, bundle, doc, slot

    def wait_keyboard(self, window, timeout=30):
        """Waits until the window has the keyboard (given it by the program, not by us)."""
        def has():
            focused = self.x("xdotool", "getwindowfocus", check=False).strip()
            return focused.isdigit() and int(focused) == int(window.id, 16)
        self.wait("%s to have the keyboard" % window, has, timeout)

    # --- input ----------------------------------------------------------------------------------

    def xdo(self, *steps):
        """One xdotool run with chained commands (each a list of words)."""
        words = ["xdotool"]
        for step in steps:
            words += [str(w) for w in step]
        self.x(*words)

    def key(self, *keys):
        self.xdo(*[["key", "--delay", "30", k] for k in keys])

    def type(self, text):
        self.xdo(["type", "--delay", "40", text])

    def click(self, x, y, button=1, count=1, modifiers=()):
        steps = [["mousemove", "--sync", x, y]]
        steps += [["keydown", m] for m in modifiers]
        steps += [["click", "--repeat", count, "--delay", "80", button]]
        steps += [["keyup", m] for m in modifiers]
        self.xdo(*steps)

    def drag(self, x0, y0, x1, y1, finish="drop", steps=12, hold=()):
        """Presses at (x0, y0), moves in steps to (x1, y1), then drops there, or presses Escape
        before letting go when finish is "escape". Keys in hold go down once the drag is under
        way (held at the press they would change what the press does) and up after the drop."""
        moves = [["mousemove", "--sync", x0, y0], ["mousedown", 1]]
        for i in range(1, steps + 1):
            moves.append(["mousemove", "--sync", x0 + (x1 - x0) * i // steps,
                          y0 + (y1 - y0) * i // steps])
            moves.append(["sleep", "0.03"])
            if i == steps // 2:
                moves += [["keydown", k] for k in hold]
        if finish == "escape":
            moves += [["key", "Escape"], ["sleep", "0.1"]]
        moves.append(["mouseup", 1])
        moves += [["keyup", k] for k in hold]
        self.xdo(*moves)

    def wheel(self, x, y, clicks, modifiers=(), sideways=False):
        """Turns the wheel: clicks > 0 away from the user (or, sideways, to the left)."""
        button = (6 if clicks > 0 else 7) if sideways else (4 if clicks > 0 else 5)
        steps = [["mousemove", "--sync", x, y]] + [["keydown", m] for m in modifiers]
        steps += [["click", "--repeat", abs(clicks), "--delay", "20", button]]
        steps += [["keyup", m] for m in modifiers]
        self.xdo(*steps)

    # --- documents ------------------------------------------------------------------------------

    def generate(self, name, events, layers, *more):
        """A document made by the generator, in the session's documents folder; its bundle."""
        out = subprocess.run([sys.executable, os.path.join(self.args.tools, "gendoc"),
                              os.path.join(self.docs, name), str(events), str(layers), *more],
                             capture_output=True, text=True, check=True)
        return out.stdout.strip()

    def wait_saved(self, bundle, after=0.0, timeout=30):
        """Waits for the bundle's file to be written (after a modification time); its model."""
        path = os.path.join(bundle, "doc_data.xml")
        self.wait("%s to be written" % path,
                  lambda: os.path.exists(path) and os.path.getmtime(path) > after, timeout)
        # The writer puts the finished file in place in one rename: what is there is whole.
        return read_doc(bundle)

    def save_as(self, window, name, keys="ctrl+s"):
        """Saves through the dialog that the keys bring up, as <documents>/<name>; the bundle
        and what it holds."""
        self.focus(window)
        self.key(keys)
        self.focus(self.window("Save as..."))
        self.type(os.path.join(self.docs, name))
        self.key("Return")
        bundle = os.path.join(self.docs, name + ".orstime")
        return bundle, self.wait_saved(bundle)

    def save(self, window, bundle):
        """Ctrl+S on a document saved before; what the bundle holds then."""
        stamp = os.path.getmtime(os.path.join(bundle, "doc_data.xml"))
        self.focus(window)
        self.key("ctrl+s")
        return self.wait_saved(bundle, stamp)

    def wait_file(self, path, timeout=30):
        return self.wait(path, lambda: os.path.exists(path), timeout)

    # --- what stays -----------------------------------------------------------------------------

    def screenshot(self, label=None):
        path = os.path.join(self.out, "%s%s.png" % (self.name, "-" + label if label else ""))
        self.x("import", "-window", "root", path)
        return path

    def check_clean(self):
        """Fails on a sanitizer report, a failed assertion or an escaped exception."""
        text = self.trace()
        bad = BAD_OUTPUT.search(text, max(0, self.checked - 100))
        self.checked = len(text)
        if bad:
            line_start = self.seen.rfind("\n", 0, bad.start()) + 1
            raise Failure("the program reported: " +
                          self.seen[line_start:line_start + 300].splitlines()[0])

    def stop_program(self):
        """Ends a program still running (a test that failed half way), gently first."""
        if not self.running():
            return
        self.program.send_signal(signal.SIGTERM)
        try:
            self.program.wait(10 * SLOW)
        except subprocess.TimeoutExpired:
            self.program.kill()
            self.program.wait()

    def close(self):
        self.stop_program()
        if self.xvfb and self.xvfb.poll() is None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)


def run(name, body, extra=None, screen="1280x1024", traces=True):
    """Runs body(session) and exits 0 when it passed; the screenshot is taken last either way.
    With traces, the program prints its busy paths' lines too (VANTREL_TRACE=1)."""
    args = arguments(extra)
    session = Session(name, args, screen, traces)
    status = 1
    try:
        body(session)
        session.check_clean()
        status = 0
        print("%s: passed" % name)
    except Failure as failure:
        print("%s: FAILED: %s" % (name, failure))
        if session.log_path:
            print("trace: %s" % session.log_path)
    finally:
        try:
            session.screenshot("end")
        except Exception:  # an X server that went away leaves no picture, nothing worse
            pass
        session.stop_program()
        if status == 0 and session.program is not None:
            try:
                session.check_clean()
            except Failure as failure:
                print("%s: FAILED: %s" % (name, failure))
                status = 1
        session.close()
    sys.exit(status)
