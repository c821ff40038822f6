#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The section of docs/performance.md on the harmonics one at a time, from drawing_benchmark's
JSON output of WheelStep and LineMove: the median redraw of one wheel step and of one move onto
a new line, with the targets."""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from report import load, section  # noqa: E402


def main(path):
    runs = {b["run_name"]: b for b in load(path)["benchmarks"] if b.get("run_type") == "iteration"}
    where, unit, busy = section("Harmonics one at a time")
    print(f"{where}. **Vector unit of this machine: {unit}.** From a step of the wheel (the sum of")
    print("the harmonics shown, one harmonic up or down in turn) or a move onto a new spectral line")
    print("(\"Armoniche una per una\" on, the wave of the new line and the sum beneath it when shown) to")
    print("the plot's image redrawn; the paint on the screen that follows is not in it. The median and")
    print("the slowest of 200 steps at N = 1e4, 40 at 1e6, 20 at 1e7; D = 0.5, P = 3, a plot of the")
    print(f"window's size. The load average was {busy} on 2 cores when the run ended, from other")
    print("work on the shared machine. Targets: 16 ms at the defaults (N = 1e4, H = 10), 50 ms at")
    print("N = 1e6, H = 1e6; none at 1e7.")
    print()
    print("| redraw | N | H | where | median | slowest | target |")
    print("|---|---:|---:|---|---:|---:|---|")
    for name, b in runs.items():
        m = re.match(r"(WheelStep|LineMove)/N:(\d+)/H:(\d+)/(?:steps|moves):\d+/(near|sum):(\d)", name)
        if not m:
            continue
        kind, n, h, flag, value = m[1], int(m[2]), int(m[3]), m[4], int(m[5])
        what = "wheel step" if kind == "WheelStep" else "move onto a line"
        if flag == "near":
            where_ = "near all H" if value == 0 else "near none"
        else:
            where_ = "sum shown" if value == 1 else "sum off"
        target = 16 if (n, h) == (10000, 10) else 50 if (n, h) == (1000000, 1000000) else None
        median = b["median_ms"]
        verdict = "" if target is None else f"{target} ms, {'met' if median <= target else '**not met**'}"
        print(f"| {what} | {n:.0e} | {h:.0e} | {where_} | {median:.1f} ms | {b['slowest_ms']:.1f} ms | {verdict} |")
    print()


if __name__ == "__main__":
    main(sys.argv[1])
