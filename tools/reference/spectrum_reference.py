#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Evaluates the spectrum's definition apart from the program, as reference values for its tests.

Every product, quotient and sum is a Python float, an IEEE double, formed in the definition's
order; sine and cosine are evaluated to 40 digits with Python's decimal module and rounded to the
nearest double. PI is the decimal 3.14159265358979 read as a double, as the definition says: the
program's own constant is not used. Writes tests/core/data/spectrum_reference.txt.
"""
from decimal import Decimal, getcontext
import os
import sys

getcontext().prec = 60
PI = float("3.14159265358979")
TRUE_PI = Decimal("3.14159265358979323846264338327950288419716939937510582097494459")


def sin_cos(x):
    """Sine and cosine of the double x, each rounded to the nearest double."""
    d = Decimal(x)  # exact: every double is a finite binary fraction
    two_pi = 2 * TRUE_PI
    d = d - two_pi * (d / two_pi).to_integral_value()
    # The Taylor series of both, to far below a double's last digit.
    s, c = Decimal(0), Decimal(0)
    term, k = d, 1
    while abs(term) > Decimal("1e-55"):
        s += term
        term = -term * d * d / ((k + 1) * (k + 2))
        k += 2
    term, k = Decimal(1), 0
    while abs(term) > Decimal("1e-55"):
        c += term
        term = -term * d * d / ((k + 1) * (k + 2))
        k += 2
    return float(s), float(c)


def round_half_even(value):
    return int(round(value))  # Python rounds halves to the even neighbour


def spectrum(n, d, v, h):
    """The literal loops: samples, mean value, signal peak and moduli."""
    s = [0.0] * (n + 2)
    nd = float(n) * d
    last = round_half_even(nd)
    for i in range(0, last + 1):  # past the pulse (i > N D) the half-sine is 0, never negative
        s[i] = 0.0 if i > nd else v * sin_cos((i * PI) / nd)[0]
    first = round_half_even(nd + 1)
    for i in range(first, n):
        s[i] = 0.0
    s[n] = 0.0
    peak = s[0]
    for i in range(0, n + 1):
        if abs(s[i]) >= peak:
            peak = abs(s[i])
    total = 0.0
    for i in range(n):
        total = total + s[i]
    mean = total / n
    moduli = [0.0] * (n + 2)
    for k in range(1, round_half_even(h) + 1):
        two_k_pi = float(2 * k) * PI
        cos_sum = sin_sum = 0.0
        for i in range(n):
            sine, cosine = sin_cos(two_k_pi * i / n)
            cos_sum = cosine * s[i] + cos_sum
            sin_sum = sine * s[i] + sin_sum
        a = (2 / n) * cos_sum
        b = (2 / n) * sin_sum
        moduli[k] = (b**2 + a**2) ** 0.5
    return s, mean, peak, moduli


# (N, D, V, H): the default analysis, the pulse ends of the definition and a full half-sine.
CASES = [(10000, 0.5, 10.0, 10.0), (4, 0.5, 1.0, 2.0), (7, 0.5, 1.0, 8.0),
         (10, 0.37, 3.0, 11.0), (1000, 1.0, 2.0, 12.0), (999, 0.3, -4.0, 9.0)]


def main():
    out = os.path.join(os.path.dirname(__file__), "..", "..", "tests", "core", "data",
                       "spectrum_reference.txt")
    lines = ["# N D V H quantity index value: written by tools/reference/spectrum_reference.py"]
    for n, d, v, h in CASES:
        s, mean, peak, moduli = spectrum(n, d, v, h)
        key = f"{n} {d!r} {v!r} {h!r}"
        indexes = range(n + 2) if n <= 20 else sorted({1, round_half_even(n * d) - 1,
                                                       round_half_even(n * d), n // 3})
        for i in indexes:
            lines.append(f"{key} Samples {i} {s[i].hex()}")
        lines.append(f"{key} MeanValue 0 {mean.hex()}")
        lines.append(f"{key} SignalPeak 0 {peak.hex()}")
        for k in range(1, round_half_even(h) + 1):
            lines.append(f"{key} Magnitudes {k} {moduli[k].hex()}")
    with open(out, "w") as f:
        f.write("\n".join(lines) + "\n")
    print(f"{len(lines) - 1} values written to {os.path.normpath(out)}", file=sys.stderr)


if __name__ == "__main__":
    main()
