#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The section of docs/performance.md on the sum of the harmonics, from harmonic_sum_benchmark's
JSON output: the computation alone, the toggle until the window is painted, the cancel's wait."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from report import fastest, load, section  # noqa: E402


def main(path):
    best = fastest(load(path))
    where, unit, busy = section("Sum of the harmonics")
    print(f"{where}. **Vector unit of this machine: {unit}** (the sum is one inverse FFT by FFTW,")
    print("which picks its own kernels). Fastest of 3 repetitions; the load average was "
          f"{busy} on 2 cores when the run ended, from other work on the shared machine.")
    print("Above 1000 harmonics the coefficients are the closed form's, so that the figures time the")
    print("sum alone: its cost does not depend on their values.")
    print()
    print("| N | H | sum alone | toggle to drawn | target |")
    print("|---:|---:|---:|---:|---|")
    for n, h in [(10000, 10), (1000000, 10), (1000000, 500000), (10000000, 10),
                 (10000000, 5000000)]:
        alone = best.get(f"SumAlone/N:{n}/H:{h}/first:0")
        toggle = best.get(f"ToggleToDrawn/N:{n}/H:{h}/first:0/real_time")
        if not alone or not toggle:
            continue
        target = 30 if n == 10000 else 500 if n == 10000000 else None
        verdict = ""
        if target:
            verdict = f"{target} ms, " + ("met" if toggle[0] <= target else "not met")
        print(f"| {n:.0e} | {h} | {alone[0]:.1f} ms | {toggle[0]:.1f} ms | {verdict} |")
    waits = [b["longest_wait_ms"] for b in load(path)["benchmarks"]
             if b["run_name"].startswith("CancelLatency/") and b.get("run_type") == "iteration"]
    if waits:
        wait = max(waits)
        print()
        print(f"Cancel at N = 1e7, every 20 ms of the computation, 3 times: the longest wait from the cancel "
              f"to the return was {wait:.1f} ms (target 200 ms, "
              f"{'met' if wait <= 200 else 'not met'}). A transform already running is left to")
        print("finish on its own thread, so the wait does not grow with the transform's length.")


if __name__ == "__main__":
    main(sys.argv[1])
