#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""numpy's direct Fourier sums of the half-sine train, over the same angles as the program:
(2k * PI * i) / N for i = 0 .. N - 1, np.cos and np.sin of them and a dot product with the samples.
Prints the best of a few runs as JSON: {"n": ..., "h": ..., "seconds": ...}."""
import json
import sys
import time

import numpy as np

PI = 3.14159265358979


def samples(n, d, v):
    s = np.zeros(n + 2)
    last = int(round(n * d))
    i = np.arange(last + 1, dtype=np.float64)
    s[: last + 1] = v * np.sin((i * PI) / (n * d))
    first = int(round(n * d + 1))
    s[first:n] = 0
    s[n] = 0
    return s


def direct_sums(s, n, h, nonzero_only):
    i = np.arange(n, dtype=np.float64)
    values = s[:n]
    if nonzero_only:
        keep = values != 0
        i, values = i[keep], values[keep]
    moduli = np.zeros(h + 1)
    for k in range(1, h + 1):
        angles = (float(2 * k) * PI * i) / n
        a = (2 / n) * np.dot(np.cos(angles), values)
        b = (2 / n) * np.dot(np.sin(angles), values)
        moduli[k] = np.sqrt(b**2 + a**2)
    return moduli


def main():
    n, h = int(sys.argv[1]), int(sys.argv[2])
    nonzero_only = len(sys.argv) > 3 and sys.argv[3] == "nonzero"
    s = samples(n, 0.5, 10.0)
    best = float("inf")
    for _ in range(3):
        start = time.perf_counter()
        direct_sums(s, n, h, nonzero_only)
        best = min(best, time.perf_counter() - start)
    print(json.dumps({"n": n, "h": h, "nonzero_only": nonzero_only, "seconds": best}))


if __name__ == "__main__":
    main()
