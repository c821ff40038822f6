#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a screenshot of one of the program's windows (a PNG of its client area), for
tools/windows/test-window.sh. Positions are in device pixels from the client area's top-left.

  window_image.py colours PNG X,Y...             each pixel's colour, "R,G,B", one a line
  window_image.py count PNG LEFT TOP WIDTH HEIGHT HUE
                                                 how many pixels of the rectangle are of the hue
                                                 (red, blue, green: the plot's colours, below)
  window_image.py plot PNG LEFT TOP WIDTH HEIGHT  what the plot area inside that rectangle shows,
                                                 one measure a line, NAME<tab>VALUE

The plot area is found as the light yellow surface inside the rectangle (its border left out).
Its measures are in the plot's own units: x from 0 at the left edge to 100 at the right, y from
0 at the bottom edge to 100 at the top, the mapping the plot is drawn with:

  surface               the surface's size in pixels, WxH
  time_axis_y           y of the row that holds the most red (the time axis)
  time_axis_width       how much of the surface's width that row covers in red, in %
  trace_top_y           y of the highest red pixel (the signal's peak)
  pulses                how many separate runs of columns the red trace rises above the axis in
  frequency_axis_y      y of the row that holds the most blue in the bottom tenth
  harmonic_K_y          y of the top of the blue line nearest x = 10·K, for K = 1 and 2
  dc_y                  y of the highest green pixel in the leftmost 1 % (the DC component)

The image is read through ImageMagick's convert, as 8-bit RGB.
"""

import subprocess
import sys


class Image:
    def __init__(self, path):
        data = subprocess.run(["convert", path, "-depth", "8", "-alpha", "off", "ppm:-"],
                              check=True, capture_output=True).stdout
        # P6 header: magic, width, height, maximum, each followed by one whitespace byte.
        fields = []
        position = 0
        while len(fields) < 4:
            while data[position:position + 1].isspace():
                position += 1
            end = position
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[position:end])
            position = end
        if fields[0] != b"P6" or fields[3] != b"255":
            sys.exit(f"{path}: convert gave no 8-bit PPM")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[position + 1:]

    def At(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])


# The plot's colours, as drawn (lines may be smoothed at fractional scales, so a hue is taken,
# not one exact value).
def IsYellowGround(p):
    return p[0] >= 240 and p[1] >= 240 and 160 <= p[2] <= 220


def IsRed(p):
    return p[0] >= 150 and p[1] <= 110 and p[2] <= 110


def IsBlue(p):
    return p[2] >= 150 and p[0] <= 110 and p[1] <= 110


def IsGreen(p):
    return p[1] >= 150 and p[0] <= 110 and p[2] <= 110


def Colours(path, *points):
    image = Image(path)
    for point in points:
        x, y = (int(float(v)) for v in point.split(","))
        inside = 0 <= x < image.width and 0 <= y < image.height
        print("%d,%d,%d" % image.At(x, y) if inside else "outside")


def Count(path, left, top, width, height, hue):
    image = Image(path)
    left, top, width, height = int(left), int(top), int(width), int(height)
    test = {"red": IsRed, "blue": IsBlue, "green": IsGreen}[hue]
    print(sum(test(image.At(x, y))
              for y in range(max(0, top), min(top + height, image.height))
              for x in range(max(0, left), min(left + width, image.width))))


def Plot(path, left, top, width, height):
    image = Image(path)
    left, top, width, height = int(left), int(top), int(width), int(height)
    right = min(left + width, image.width)
    bottom = min(top + height, image.height)
    # The surface: the bounding box of the yellow ground inside the rectangle.
    xs, ys = [], []
    for y in range(top, bottom):
        for x in range(left, right):
            if IsYellowGround(image.At(x, y)):
                xs.append(x)
                ys.append(y)
    if not xs:
        print("surface\tnone")
        return
    x0, x1, y0, y1 = min(xs), max(xs) + 1, min(ys), max(ys) + 1
    w, h = x1 - x0, y1 - y0
    print(f"surface\t{w}x{h}")

    def Y(row):  # a pixel row's centre in plot units
        return 100 - 100 * (row - y0 + 0.5) / h

    def Row(y_units):
        return y0 + int((100 - y_units) / 100 * h)

    red_rows = [sum(IsRed(image.At(x, y)) for x in range(x0, x1)) for y in range(y0, y1)]
    axis_row = y0 + max(range(h), key=lambda i: red_rows[i])
    print(f"time_axis_y\t{Y(axis_row):.2f}")
    print(f"time_axis_width\t{100 * red_rows[axis_row - y0] / w:.1f}")
    reds = [y for y in range(y0, y1) if red_rows[y - y0]]
    print(f"trace_top_y\t{Y(min(reds)):.2f}" if reds else "trace_top_y\tnone")

    # A pulse: a run of columns whose red rises at least 2 units above the axis.
    rise_row = Row(Y(axis_row) + 2)
    rising = [any(IsRed(image.At(x, y)) for y in range(y0, rise_row)) for x in range(x0, x1)]
    pulses = sum(1 for i, r in enumerate(rising) if r and (i == 0 or not rising[i - 1]))
    print(f"pulses\t{pulses}")

    tenth = y1 - max(1, h // 10)
    blue_rows = {y: sum(IsBlue(image.At(x, y)) for x in range(x0, x1)) for y in range(tenth, y1)}
    frequency_row = max(blue_rows, key=blue_rows.get)
    print(f"frequency_axis_y\t{Y(frequency_row):.2f}")

    for harmonic in (1, 2):
        centre = x0 + int(10 * harmonic / 100 * w)
        columns = range(max(x0, centre - 3), min(x1, centre + 4))
        tops = [y for x in columns for y in range(y0, frequency_row - 1)
                if IsBlue(image.At(x, y))]
        print(f"harmonic_{harmonic}_y\t{Y(min(tops)):.2f}" if tops else
              f"harmonic_{harmonic}_y\tnone")

    greens = [y for x in range(x0, x0 + max(2, w // 100)) for y in range(y0, y1)
              if IsGreen(image.At(x, y))]
    print(f"dc_y\t{Y(min(greens)):.2f}" if greens else "dc_y\tnone")


if __name__ == "__main__":
    if len(sys.argv) >= 4 and sys.argv[1] == "colours":
        Colours(*sys.argv[2:])
    elif len(sys.argv) == 8 and sys.argv[1] == "count":
        Count(*sys.argv[2:])
    elif len(sys.argv) == 7 and sys.argv[1] == "plot":
        Plot(*sys.argv[2:])
    else:
        sys.exit(__doc__)
