#!/usr/bin/env python3
"""Tells whether a screenshot shows a desktop picture as Melt leaves it.

Melt only ever moves whole pixel columns down by one row and blackens their
top pixel, so every column of the screen must read as k black pixels and
then the desktop's column shifted down by k rows. The run must have moved a
good share of the columns, one of them at least DEEPEST rows (the melt goes
on from tick to tick), and kept most of the picture.
  melted_desktop.py DESKTOP.png SCREEN.png [DEEPEST]   exit 0 when it does, 1 with the reason
"""
import subprocess
import sys


def pixels(path):
    """The picture's width, height and rows of (r, g, b) tuples, via ImageMagick."""
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"],
                         check=True, capture_output=True).stdout
    magic, width, height, maxval, data = ppm.split(maxsplit=4)
    assert magic == b"P6" and maxval == b"255", path
    width, height = int(width), int(height)
    flat = [tuple(data[i:i + 3]) for i in range(0, width * height * 3, 3)]
    return width, height, [flat[y * width:(y + 1) * width] for y in range(height)]


def melt_depth(desktop, screen, x, height):
    """How many rows column x moved down, or None when it is not a Melt column."""
    black = 0
    while black < height and screen[black][x] == (0, 0, 0):
        black += 1
    for k in range(black, -1, -1):  # the desktop's own top pixels may be black
        if all(screen[y][x] == desktop[y - k][x] for y in range(k, height)):
            return k
    return None


def main(desktop_path, screen_path, deepest):
    width, height, desktop = pixels(desktop_path)
    screen_width, screen_height, screen = pixels(screen_path)
    if (screen_width, screen_height) != (width, height):
        return f"the screen is {screen_width}x{screen_height}, the desktop {width}x{height}"
    depths = []
    for x in range(width):
        k = melt_depth(desktop, screen, x, height)
        if k is None:
            return f"column {x} is not the desktop's column moved down"
        depths.append(k)
    moved = sum(1 for k in depths if k > 0)
    if moved < width // 10:
        return f"only {moved} of {width} columns moved down"
    if max(depths) < deepest:
        return f"no column moved {deepest} rows down yet (at most {max(depths)})"
    if sum(depths) > width * height // 4:
        return f"{sum(depths)} of {width * height} pixels melted away: not most of the picture kept"
    print(f"{moved} of {width} columns moved down, {max(depths)} rows at most")
    return None


if __name__ == "__main__":
    reason = main(sys.argv[1], sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 1)
    if reason:
        print(reason)
        sys.exit(1)
