"""The screen's pixels as the whole-program tests read them: one grab of the X server's root
window, 8 bits a channel, and the colours of its rectangles."""

import os
import subprocess

import session


class Shot:
    def __init__(self, s):
        env = dict(os.environ, DISPLAY=s.display)
        done = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env,
                              capture_output=True, timeout=60 * session.SLOW)
        data = done.stdout
        # "P6", the width, the height and the largest value, each after blanks, one blank, then
        # the rows.
        fields, at = [], 0
        while len(fields) < 4 and at < len(data):
            while data[at:at + 1].isspace():
                at += 1
            end = at
            while end < len(data) and not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        if done.returncode != 0 or fields[:1] != [b"P6"] or fields[3:] != [b"255"]:
            raise session.Failure("no 8-bit grab of the screen: %s" % done.stderr.strip())
        self.w, self.h = int(fields[1]), int(fields[2])
        self.rgb = data[at + 1:]

    def pixel(self, x, y):
        k = 3 * (y * self.w + x)
        return tuple(self.rgb[k:k + 3])

    def region(self, x, y, w, h):
        """The rectangle's pixels, row by row, cut to the screen."""
        x0, y0 = max(0, int(x)), max(0, int(y))
        x1, y1 = min(self.w, int(x + w)), min(self.h, int(y + h))
        return [self.pixel(i, j) for j in range(y0, y1) for i in range(x0, x1)]

    def colours(self, x, y, w, h):
        return len(set(self.region(x, y, w, h)))


def differing(a, b):
    """How many pixels of two regions of one size differ."""
    return sum(1 for p, q in zip(a, b) if p != q) + abs(len(a) - len(b))
