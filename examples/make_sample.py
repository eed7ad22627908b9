#!/usr/bin/env python3
"""Writes examples/sample.asc: 200 x 150 cells of synthetic terrain, 30 arc-seconds
apart, with a no-data lake. Deterministic: the same file on every run."""
import math
import os

NCOLS, NROWS = 200, 150
XLL, YLL, CELL = -121.0, 37.0, 1.0 / 120.0


def height(col, row):
    x, y = col / NCOLS, row / NROWS
    ridge = 850.0 * math.exp(-((x - 0.3) ** 2 + (y - 0.35) ** 2) / 0.03)
    hill = 420.0 * math.exp(-((x - 0.75) ** 2 + (y - 0.7) ** 2) / 0.02)
    slope = 300.0 * (1.0 - y) + 40.0 * math.sin(9.0 * x) * math.cos(7.0 * y)
    return round(120.0 + ridge + hill + slope, 2)


def in_lake(col, row):
    return (col - 140) ** 2 / 18.0 ** 2 + (row - 40) ** 2 / 10.0 ** 2 <= 1.0


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sample.asc")
    with open(path, "w", newline="\n") as out:
        out.write(f"ncols {NCOLS}\nnrows {NROWS}\nxllcorner {XLL}\nyllcorner {YLL}\n")
        out.write(f"cellsize {CELL!r}\nNODATA_value -9999\n")
        for row in range(NROWS):
            cells = ("-9999" if in_lake(col, row) else f"{height(col, row):g}"
                     for col in range(NCOLS))
            out.write(" ".join(cells) + "\n")


if __name__ == "__main__":
    main()
