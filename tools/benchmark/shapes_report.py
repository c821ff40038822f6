#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The section of docs/performance.md on the pulse shapes, from spectrum_benchmark's JSON output
of Shapes and Sampling: each shape's analysis on each path against the half-sine's, and the
sampling's share of the analysis at (N, H) = (1e6, 100), with the targets."""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from report import fastest, load, section  # noqa: E402

PATHS = {0: "the program's (cheaper)", 1: "direct sums", 2: "transform"}


def main(path):
    best = fastest(load(path))
    analyses = {}
    sampling = {}
    names = {}  # each shape's name, from the benchmark's label
    for name, (ms, run) in best.items():
        if m := re.match(r"Shapes/N:(\d+)/H:(\d+)/path:(\d)/shape:(\d+)/real_time$", name):
            analyses[(int(m[1]), int(m[2]), int(m[3]), int(m[4]))] = ms
            names[int(m[4])] = run.get("label", m[4])
        elif m := re.match(r"Sampling/N:(\d+)/shape:(\d+)/real_time$", name):
            sampling[int(m[2])] = ms
    shapes = [names[s] for s in sorted(names)]
    where, unit, busy = section("Pulse shapes")
    print(f"{where}. **Vector unit of this machine: {unit}.** The program's analysis as a command")
    print("runs it, 2 threads, D = 0.5, each shape against the half-sine on the same path; the fastest")
    print(f"of the repetitions. The load average was {busy} on 2 cores when the run ended.")
    print("Target: no shape more than 10 % slower than the half-sine on any path.")
    print()
    print("| N | H | path | " + " | ".join(shapes) + " | slowest / half-sine |")
    print("|---:|---:|---|" + "---:|" * len(shapes) + "---|")
    for n, h, p in sorted({k[:3] for k in analyses}, reverse=True):
        times = [analyses.get((n, h, p, s)) for s in range(len(shapes))]
        if None in times:
            continue
        ratio = max(times) / times[0]
        verdict = "met" if ratio <= 1.10 else "**not met**"
        cells = " | ".join(f"{t:.3g} ms" for t in times)
        print(f"| {n:.0e} | {h} | {PATHS[p]} | {cells} | {ratio:.2f}, {verdict} |")
    print()
    analysis = analyses.get((1_000_000, 100, 2, 0))
    if sampling and analysis:
        print("The sampling alone, 2 threads, at N = 1e6, against the half-sine's analysis on the")
        print("program's path there (the transform). Target: at most 10 % of the analysis. The")
        print("half-sine and the raised cosine take one C-library sine per pulse sample, which the")
        print("samples' exactness requires; where D makes harmonic 1's angle the sampling angle, as")
        print("here, that sine also gives harmonic 1's sums, which the analysis then need not sum.")
        print()
        print("| shape | sampling | share of the analysis | |")
        print("|---|---:|---:|---|")
        for s, ms in sorted(sampling.items()):
            share = ms / analysis
            print(f"| {shapes[s]} | {ms:.2f} ms | {share:.0%} | {'met' if share <= 0.10 else '**not met**'} |")
        print()


if __name__ == "__main__":
    main(sys.argv[1])
