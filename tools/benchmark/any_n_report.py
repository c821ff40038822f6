#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The section of docs/performance.md on any N: the analysis and the sum's first toggle at primes,
products of two primes and their round neighbours, the crossover at awkward N, and the refusal
of amplitudes whose moduli overflow; from spectrum_benchmark's and harmonic_sum_benchmark's JSON."""
import math
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from report import fastest, load, section  # noqa: E402


def factors(n):
    found, p = [], 2
    while p * p <= n:
        while n % p == 0:
            found.append(p)
            n //= p
        p += 1
    return found + ([n] if n > 1 else [])


def is_round(n):
    return n & (n - 1) == 0 or (10 ** round(math.log10(n)) == n)


def nearest_round(n, measured):
    candidates = [m for m in measured if is_round(m)]
    return min(candidates, key=lambda m: abs(math.log(m / n))) if candidates else None


def table(title, rows, unit_of):
    """rows: {n: (time, run)}; each awkward N beside its nearest round N, with the ratio."""
    print(title)
    print()
    print("| N | factors | time | nearest round N | its time | ratio | target 1.5 |")
    print("|---:|---|---:|---:|---:|---:|---|")
    verdicts = []
    for n in sorted(rows):
        time, _ = rows[n]
        spelled = " x ".join(str(p) for p in factors(n)) if not is_round(n) else "round"
        if is_round(n):
            print(f"| {n:,} | {spelled} | {time:.1f} ms | | | | |")
            continue
        round_n = nearest_round(n, rows)
        if round_n is None:
            print(f"| {n:,} | {spelled} | {time:.1f} ms | | | | |")
            continue
        ratio = time / rows[round_n][0]
        verdicts.append(ratio <= 1.5)
        print(f"| {n:,} | {spelled} | {time:.1f} ms | {round_n:,} | {rows[round_n][0]:.1f} ms "
              f"| {ratio:.2f} | {'met' if ratio <= 1.5 else 'not met'} |")
    print()
    return verdicts


def main(spectrum_path, sum_path):
    spectra = fastest(load(spectrum_path))
    sums = fastest(load(sum_path))
    where, unit, busy = section("Any N")
    print(f"{where}. **Vector unit of this machine: {unit}.** Fastest of the repetitions; the load")
    print(f"average was {busy} on 2 cores when the run ended. Where N has large prime factors,")
    print("the transform is computed through complex transforms of a power of two at least N + B - 1")
    print("(B the bins read), by the chirp-z identity: its time no longer depends on how N factors,")
    print("but it is two complex transforms of that size where a round N takes one real transform of N.")
    print()
    for h_name, pattern in (("H = 100", r"AnyN/N:(\d+)/H:100/path:0/first:1/real_time"),
                            ("H = N", r"AnyNAllHarmonics/N:(\d+)/H:\d+/path:0/first:1/real_time")):
        rows = {int(m[1]): v for k, v in spectra.items() if (m := re.match(pattern, k))}
        if rows:
            table(f"The analysis at a new N (nothing kept), {h_name}, 2 threads, D = 0.5:", rows, unit)
    rows = {int(m[1]): v for k, v in spectra.items()
            if (m := re.match(r"AnyN/N:(\d+)/H:100/path:0/first:0/real_time", k))}
    if rows:
        table("The same repeated (the plans and the padded transform's filter kept), H = 100:", rows, unit)
    for h_name, half in (("H = 10", False), ("H = N / 2", True)):
        rows = {}
        for k, v in sums.items():
            m = re.match(r"ToggleToDrawn/N:(\d+)/H:(\d+)/first:1/real_time", k)
            if m and (int(m[2]) == int(m[1]) // 2) == half and int(m[1]) > 10000:
                rows[int(m[1])] = v
        if rows:
            table(f"The sum's first toggle at a new N, until the window is painted, {h_name}:", rows, unit)
    print("The crossover at awkward N: each path forced, repeated analyses.")
    print()
    print("| N | H | direct sums | transform | program's path |")
    print("|---:|---:|---:|---:|---|")
    for k in sorted(spectra, key=lambda k: [int(x) for x in re.findall(r"\d+", k)]):
        m = re.match(r"Crossover/N:(\d+)/H:(\d+)/path:1/first:0/real_time", k)
        if not m:
            continue
        n, h = int(m[1]), int(m[2])
        direct = spectra[k][0]
        transform = spectra.get(f"Crossover/N:{n}/H:{h}/path:2/first:0/real_time", (float("nan"),))[0]
        program = spectra.get(f"Crossover/N:{n}/H:{h}/path:0/first:0/real_time", (None, {}))[1]
        taken = "transform" if program.get("transform") else "direct sums"
        print(f"| {n:,} | {h} | {direct:.1f} ms | {transform:.1f} ms | {taken} |")
    print()
    huge = spectra.get("HugeAmplitude/N:1000000/V:200/real_time")
    normal = spectra.get("HugeAmplitude/N:1000000/V:1/real_time")
    if huge and normal:
        print(f"Vmax = 1e200 at N = 1e6, H = N + 1, refused: {huge[0]:.1f} ms, against {normal[0]:.1f} ms for the")
        print(f"same analysis at Vmax = 10 (target: within that time, {'met' if huge[0] <= normal[0] else 'not met'}).")
        print()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
