#!/usr/bin/env python3
"""Tells whether a screenshot shows a desktop picture as Melt leaves it: Melt
only moves whole pixel columns down a row and blackens their top pixel, so each
column must be k black pixels, then the desktop's column moved down k rows.
Also a good share of columns moved, one at least DEEPEST rows (the melt goes
on), and most of the picture is kept.
  melted_desktop.py DESKTOP.png SCREEN.png DEEPEST   exit 0 when so, else 1 and why"""
import subprocess
import sys


def columns(path):
    """The picture's pixel columns, each a list of (r, g, b) from the top."""
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    _, width, height, _, data = ppm.split(maxsplit=4)
    width, height = int(width), int(height)
    return [[tuple(data[(y * width + x) * 3:(y * width + x) * 3 + 3]) for y in range(height)] for x in range(width)]


def depth(desktop, screen):
    """How far this column moved down, or None when Melt cannot have made it."""
    black = next((y for y, pixel in enumerate(screen) if pixel != (0, 0, 0)), len(screen))
    # The desktop's own top pixels may be black too: try every count of them.
    return next((k for k in range(black, -1, -1) if screen[k:] == desktop[:len(desktop) - k]), None)


def reason(desktop, screen, deepest):
    if len(screen) != len(desktop) or len(screen[0]) != len(desktop[0]):
        return "the screen and the desktop differ in size"
    depths = [depth(d, s) for d, s in zip(desktop, screen)]
    if None in depths:
        return f"column {depths.index(None)} is not the desktop's column moved down"
    moved, area = sum(k > 0 for k in depths), len(screen) * len(screen[0])
    if moved < len(depths) // 10 or max(depths) < deepest:
        return f"{moved} columns moved, {max(depths)} rows at most: not melting enough yet"
    if sum(depths) > area // 4:
        return f"{sum(depths)} of {area} pixels melted away: not most of the picture kept"
    print(f"{moved} of {len(depths)} columns moved down, {max(depths)} rows at most")
    return None


if __name__ == "__main__":
    why = reason(columns(sys.argv[1]), columns(sys.argv[2]), int(sys.argv[3]))
    if why:
        print(why)
    sys.exit(1 if why else 0)
