#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Turns one run of the benchmarks into docs/performance.md: times, ratios and the targets."""
import json
import math
import os
import platform
import re
import sys


def load(path):
    with open(path) as f:
        return json.load(f)


def fastest(results):
    """name -> (best time in ms, counters of that run)."""
    best = {}
    for b in results["benchmarks"]:
        name = b["run_name"]
        unit = {"ms": 1.0, "us": 1e-3, "ns": 1e-6, "s": 1e3}[b["time_unit"]]
        t = b["real_time"] * unit
        if b.get("aggregate_name") == "min":
            best[name] = (t, b)
        elif b.get("run_type") == "iteration" and (name not in best or t < best[name][0]):
            if name not in best or best[name][1].get("aggregate_name") != "min":
                best[name] = (t, b)
    return best


def machine():
    model = "unknown"
    flags = set()
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name") and model == "unknown":
                model = line.split(":", 1)[1].strip()
            if line.startswith("flags"):
                flags = set(line.split(":", 1)[1].split())
    unit = "AVX-512" if "avx512f" in flags else "AVX2" if "avx2" in flags else "neither AVX-512 nor AVX2"
    return f"{model}, {os.cpu_count()} cores, Linux {platform.release()}", unit


def load_average():
    """The one-minute load average as the run ended: how busy the shared machine was."""
    with open("/proc/loadavg") as f:
        return f.read().split()[0]


def section(title):
    """Prints a section's heading; gives the machine, its vector unit and the load average, which
    every section names."""
    where, unit = machine()
    print(f"## {title}")
    print()
    return where, unit, load_average()


def main():
    out, commit = sys.argv[1], sys.argv[2]
    targets = fastest(load(f"{out}/targets.json"))
    scaling_json = load(f"{out}/scaling.json")
    scaling = fastest(scaling_json)
    drawing = fastest(load(f"{out}/drawing.json"))
    readout = fastest(load(f"{out}/readout.json"))
    spectra = fastest(load(f"{out}/spectrum.json"))
    numpy_rfft = {(r["n"], r["h"]): r["seconds"] * 1e3 for r in load(f"{out}/numpy-rfft.json")}
    numpy_full = load(f"{out}/numpy.json")["seconds"] * 1e3
    numpy_nonzero = load(f"{out}/numpy-nonzero.json")["seconds"] * 1e3
    program_kernel = scaling_json["context"].get("sincos_kernel", "?")
    description, unit = machine()

    def ms(table, name):
        return table[name][0]

    literal = ms(targets, "Literal/N:1000000/H:100")
    exact1 = ms(targets, "Exact/N:1000000/H:100/threads:1/real_time")
    exact2 = ms(targets, "Exact/N:1000000/H:100/threads:2/real_time")
    kernels = [m[1] for m in (re.match(r"BareKernel/(.+)$", k) for k in targets) if m]

    def ok(good):
        return "met" if good else "**not met**"

    print("# Performance\n")
    print(f"Measured in one run of `tools/benchmark/run-benchmarks.sh` at commit {commit} on {description}.")
    print(f"**Vector unit of this machine: {unit}.** The program's kernel here: SLEEF's {program_kernel};")
    print("the other kernels below are the same program's, forced, on the same machine. Every time is the")
    print("fastest of the repetitions (5 at the targets' point, 3 elsewhere): the machine is a shared")
    print("virtual one and its timings vary by 10 to 20 % from run to run.")
    if os.path.exists(f"{out}/load.txt"):
        with open(f"{out}/load.txt") as f:
            loads = [line.split()[:3] for line in f if line.strip()]
        print(f"Load average (1, 5, 15 min) on its {os.cpu_count()} cores at the start of the run: "
              f"{', '.join(loads[0])}; at the end: {', '.join(loads[-1])}. Where it is above 1 or so,")
        print("other work shared the cores and the times of the two-thread runs above all are long.")
    print()

    print("## Targets\n")
    print("Spectrum at (N, H, D) = (1e6, 100, 0.5); baseline: the literal loops (one `sin` and one `cos`")
    print("per sample and harmonic, one thread). The analysis is the program's own, as a command runs it:")
    print("the bulk of the harmonics on the vector kernel, every number shown summed again with the C")
    print("library, the results checked and both peaks found. Its pairs are the non-zero samples times the")
    print("harmonics; the bare kernel's are those it evaluates alone, on one thread, in the same run.\n")
    print("The targets apply to the kernel the program picks on this machine; the forced kernels show")
    print("what the same processor does with a narrower unit. The last column is the ratio the bare kernel")
    print("alone would give on both threads, with nothing else to do: no analysis on that kernel can go")
    print("below it on this processor.\n")
    print("| kernel | threads | time | ratio to literal (target 0.06 on 2 threads) | pairs/s per thread | bare kernel pairs/s | analysis / bare (target 75 %) | bare kernel's own ratio, 2 threads |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|")
    verdicts = {}
    for kernel in kernels:
        bare_time, bare_run = targets[f"BareKernel/{kernel}"]
        bare = bare_run["pairs"] / (bare_time / 1e3)
        for threads in (1, 2):
            name = f"Analysis/{kernel}/N:1000000/H:100/threads:{threads}/real_time"
            if name not in targets:
                continue
            time, run = targets[name]
            per_thread = run["pairs"] / (time / 1e3) / threads
            ratio = time / literal
            share = per_thread / bare
            marks, bound = "", ""
            own = kernel == program_kernel
            if threads == 2:
                floor = run["pairs"] / (2 * bare) * 1e3 / literal
                verdicts[kernel] = (ratio <= 0.06, share >= 0.75, ratio, share, floor)
                marks = f" {ok(ratio <= 0.06)}" if own else ""
                bound = f"{floor:.3f}"
            print(f"| {kernel} | {threads} | {time:.0f} ms | {ratio:.3f}{marks} | {per_thread / 1e6:.0f} M"
                  f" | {bare / 1e6:.0f} M | {100 * share:.0f} %{' ' + ok(share >= 0.75) if threads == 2 and own else ''}"
                  f" | {bound} |")
    print()
    print("| what | time | ratio | target | |")
    print("|---|---:|---:|---:|---|")
    print(f"| literal loops | {literal:.0f} ms | 1 | | |")
    print(f"| exact kernel (C library), 1 thread | {exact1:.0f} ms | {exact1 / literal:.3f} | | |")
    print(f"| exact kernel (C library), 2 threads | {exact2:.0f} ms | {exact2 / literal:.3f} | 0.20 | {ok(exact2 / literal <= 0.20)} |")
    program2 = ms(targets, f"Analysis/{program_kernel}/N:1000000/H:100/threads:2/real_time")
    print(f"| numpy direct sums over all N angles | {numpy_full:.0f} ms | program / numpy = {program2 / numpy_full:.2f} | 0.35 | {ok(program2 / numpy_full <= 0.35)} |")
    print(f"| numpy over the non-zero samples only | {numpy_nonzero:.0f} ms | program / numpy = {program2 / numpy_nonzero:.2f} | | |")
    columns = ms(drawing, "TraceByColumns/N:1000000/P:10")
    qpainter = ms(drawing, "TraceByQPainter/N:1000000/P:10")
    click = ms(drawing, "ClickToGraphs/real_time")
    cancel = max(v[0] for k, v in scaling.items() if k.startswith("CancelLatency/N:100000000"))
    print(f"| trace of 1e7 segments, gathered per column | {columns:.1f} ms | vs QPainter {columns / qpainter:.3f} | 0.10 | {ok(columns / qpainter <= 0.10)} |")
    print(f"| trace of 1e7 segments, one QPainter::drawLine each | {qpainter:.0f} ms | | | |")
    print(f"| click on Grafici to graphs painted, defaults | {click:.1f} ms | | 30 ms | {ok(click <= 30)} |")
    measures = ms(targets, "Measures/N:1000000/H:100")
    print(f"| the measures (RMS, THD, power share), (1e6, 100) | {measures:.2f} ms | of the analysis {measures / program2:.3f} | 0.05 | {ok(measures / program2 <= 0.05)} |")
    toggle = ms(drawing, "ToggleView/N:10000/H:10/view:0/real_time")
    toggle_large = ms(drawing, "ToggleView/N:1000000/H:1000000/view:0/real_time")
    print(f"| a view turned on or off, graphs redrawn, defaults | {toggle:.1f} ms | | 16 ms | {ok(toggle <= 16)} |")
    print(f"| a view turned on or off, graphs redrawn, N = H = 1e6 | {toggle_large:.0f} ms | | 100 ms | {ok(toggle_large <= 100)} |")
    for view, name in ((1, "the logarithmic frequency axis turned on or off"),
                       (2, "the decibels' floor chosen")):
        fast = ms(drawing, f"ToggleView/N:10000/H:10/view:{view}/real_time")
        large = ms(drawing, f"ToggleView/N:1000000/H:1000000/view:{view}/real_time")
        print(f"| {name}, defaults | {fast:.1f} ms | | 16 ms | {ok(fast <= 16)} |")
        print(f"| {name}, N = H = 1e6 | {large:.0f} ms | | 100 ms | {ok(large <= 100)} |")
    filter_step = ms(drawing, "ToggleView/N:10000/H:10/view:3/real_time")
    filter_large = ms(drawing, "ToggleView/N:1000000/H:100/view:3/real_time")
    print(f"| an RC low-pass's fc stepped, its output drawn, defaults | {filter_step:.1f} ms | | 16 ms | {ok(filter_step <= 16)} |")
    print(f"| an RC low-pass's fc stepped, its output drawn, N = 1e6, H = 100 | {filter_large:.0f} ms | | 100 ms | {ok(filter_large <= 100)} |")
    held = ms(drawing, "ToggleView/N:10000/H:10/view:4/real_time")
    held_large = ms(drawing, "ToggleView/N:1000000/H:100/view:4/real_time")
    print(f"| the analysis held as the reference, drawn behind, defaults | {held:.1f} ms | | 16 ms | {ok(held <= 16)} |")
    print(f"| the analysis held as the reference, drawn behind, N = 1e6, H = 100 | {held_large:.0f} ms | | 100 ms | {ok(held_large <= 100)} |")
    step = ms(drawing, "StepToGraphs/N:10000/H:10/bar:0/real_time")
    step_large = ms(drawing, "StepToGraphs/N:1000000/H:100/bar:0/real_time")
    print(f"| a field stepped, its graphs drawn, defaults | {step:.1f} ms | | 16 ms | {ok(step <= 16)} |")
    print(f"| a field stepped, its graphs drawn, N = 1e6, H = 100 | {step_large:.0f} ms | | 100 ms | {ok(step_large <= 100)} |")
    for n, h, without in ((10000, 10, step), (1000000, 100, step_large)):
        with_reference = ms(drawing, f"StepToGraphs/N:{n}/H:{h}/bar:3/real_time")
        print(f"| a field stepped with a reference held, N = {n:.0e}, H = {h} | {with_reference:.1f} ms | | {without * 1.1:.1f} ms (10 % over none) | {ok(with_reference <= without * 1.1)} |")
    print(f"| cancel request to return, N = 1e8, H = 1e5 (transform path: 0.2 s in, and as the transform begins) | {cancel:.2f} ms | | 200 ms | {ok(cancel <= 200)} |")
    print()
    print("numpy runs on one thread; its direct sums take every angle, ours skip the zero samples (half")
    print("of them at D = 0.5), which the second numpy line does too.\n")

    print("## Readout per mouse move\n")
    print("From the move event to the tool-tip text, over the plot of an analysis of N samples a period")
    print("(D = 0.5, H = 10, P = 3): the median of 1000 moves with the peaks kept with the analysis, and")
    print("beside it the peak search that every move ran before, over the signal's graph. Target: 1 ms a")
    print("move at N = 1e8.\n")
    print("| N | signal's graph | spectrum's graph | slowest of the 2000 | searching every move, as before | |")
    print("|---:|---:|---:|---:|---:|---|")
    for n in (1_000_000, 10_000_000, 100_000_000):
        runs = {(int(m[1]), int(m[2])): v[1] for k, v in readout.items()
                if (m := re.match(rf"ReadoutMove/N:{n}/moves:\d+/searched:(\d)/band:(\d)", k))}
        signal, spectrum = runs[(0, 0)], runs[(0, 1)]
        slowest = max(signal["slowest_ms"], spectrum["slowest_ms"])
        searched = runs[(1, 0)]["median_ms"]
        verdict = ok(max(signal["median_ms"], spectrum["median_ms"]) <= 1) if n == 100_000_000 else ""
        print(f"| {n:.0e} | {signal['median_ms'] * 1e3:.1f} µs | {spectrum['median_ms'] * 1e3:.1f} µs"
              f" | {slowest * 1e3:.0f} µs | {searched:.2f} ms | {verdict} |")
    print()

    print("## How the time grows\n")
    print("The analysis costs the cheaper of two paths. The direct sums take N D H sine-cosine pairs and")
    print("their time grows with N times H; the transform path takes one real-to-complex transform of the")
    print("N samples, and its time grows as N log N whatever H is, with a few harmonics summed again")
    print("exactly on top.\n")
    print(f"The program's analysis as a command runs it, 2 threads, D = 0.5, on this {unit} machine; beside")
    print("it numpy's real FFT with the sampling and the moduli (`tools/benchmark/numpy_rfft.py`, one thread,")
    print("run in the same run with OPENBLAS_CORETYPE and OPENBLAS_L2_SIZE unset). *First*: no plan kept,")
    print("as at the first analysis of that N; *repeated*: the plan kept from the previous one. Targets:")
    print("where numpy takes 10 ms or more, the first analysis ahead of it and a repeated one at most half")
    print("its time; below 10 ms, both within 1 ms of it.\n")
    print("| N | H | path | first | repeated | numpy rfft | target |")
    print("|---:|---:|---|---:|---:|---:|---|")
    rows = sorted({(int(m[1]), int(m[2])) for k in spectra
                   if (m := re.match(r"Spectrum/N:(\d+)/H:(\d+)/path:0/first:0", k))})
    verdicts_scaling = []
    for n, h in rows:
        first, run = spectra.get(f"Spectrum/N:{n}/H:{h}/path:0/first:1/real_time", (float("nan"), {}))
        repeated, run = spectra[f"Spectrum/N:{n}/H:{h}/path:0/first:0/real_time"]
        path = "transform" if run.get("transform") else "direct sums"
        numpy_ms = numpy_rfft.get((n, h))
        verdict = ""
        if numpy_ms is not None:
            if numpy_ms >= 10:
                good = first < numpy_ms and repeated <= numpy_ms / 2
            else:
                good = first <= numpy_ms + 1 and repeated <= numpy_ms + 1
            verdict = ok(good)
            verdicts_scaling.append(good)
        numpy_text = f"{numpy_ms:.1f} ms" if numpy_ms is not None else ""
        print(f"| {n:.0e} | {h:.0e} | {path} | {first:.1f} ms | {repeated:.1f} ms | {numpy_text} | {verdict} |")
    print()
    flat100 = spectra["Spectrum/N:1000000/H:100/path:0/first:0/real_time"][0]
    flat1e6 = spectra["Spectrum/N:1000000/H:1000000/path:0/first:0/real_time"][0]
    square = spectra["Spectrum/N:100000/H:100000/path:0/first:0/real_time"][0]
    print("| target | measured | |")
    print("|---|---:|---|")
    print(f"| N = 1e6: H = 1e6 within 1.5 times H = 100 | {flat1e6 / flat100:.2f} times | {ok(flat1e6 <= 1.5 * flat100)} |")
    print(f"| (N, H) = (1e5, 1e5) under 30 ms | {square:.1f} ms | {ok(square < 30)} |")
    print()
    pages = spectra.get("ResultPages/N:1000000/real_time")
    if pages:
        print(f"What H = 1e6 adds to H = 100 at N = 1e6, {flat1e6 - flat100:.1f} ms, is mostly the results' memory:")
        print("the coefficients and moduli of a million harmonics fill 24 MB of new pages, which the system")
        print("maps and zeroes. Allocating and writing them alone, on 2 threads with nothing computed")
        print(f"(`ResultPages`), takes {pages[0]:.1f} ms, where the target leaves {flat100 / 2:.1f} ms (half of H = 100).\n")
    print("The crossover: each path forced, repeated analyses. The program takes the transform where the")
    print("direct sums' N D H pairs cost more than the transform's 0.06 N log2 N + 1e5 (the rule in")
    print("`core/spectrum/fft/transform_cost.cpp`).\n")
    print("| N | H | direct sums | transform | program's path |")
    print("|---:|---:|---:|---:|---|")
    pairs = sorted({(int(m[1]), int(m[2])) for k in spectra
                    if (m := re.match(r"Spectrum/N:(\d+)/H:(\d+)/path:1/first:0", k))})
    for n, h in pairs:
        direct = spectra[f"Spectrum/N:{n}/H:{h}/path:1/first:0/real_time"][0]
        cheaper = 0.06 * n * math.log2(n) + 1e5 < (n // 2 + 1) * h
        program = spectra.get(f"Spectrum/N:{n}/H:{h}/path:0/first:0/real_time", (float("nan"),))[0]
        transform = spectra.get(f"Spectrum/N:{n}/H:{h}/path:2/first:0/real_time",
                                (program if cheaper else float("nan"),))[0]
        print(f"| {n:.0e} | {h} | {direct:.1f} ms | {transform:.1f} ms | {'transform' if cheaper else 'direct sums'} |")
    print()
    print("Literal loops at smaller sizes: "
          + ", ".join(f"(N, H) = ({k.split('/')[1][2:]}, {k.split('/')[2][2:]}): {v[0]:.1f} ms"
                      for k, v in scaling.items() if k.startswith("Literal")) + ".\n")
    print("Trace drawing gathered per column, in a 997 x 605 plot: the time follows the samples of one")
    print("period and the pixels, not the segments.\n")
    print("| N | P | segments | time |")
    print("|---:|---:|---:|---:|")
    for name, (time, _) in drawing.items():
        m = re.match(r"TraceByColumns/N:(\d+)/P:(\d+)", name)
        if m:
            print(f"| {int(m[1])} | {int(m[2])} | {int(m[1]) * int(m[2]):.0e} | {time:.1f} ms |")
    print()
    print("## Targets met\n")
    for kernel, (fast, share, ratio, fraction, floor) in verdicts.items():
        if kernel == program_kernel:
            print(f"- {kernel}, the program's kernel on this {unit} machine: ratio {ratio:.3f} on 2 threads,"
                  f" {ok(fast)}; analysis {100 * fraction:.0f} % of the bare kernel per thread, {ok(share)}.")
        else:
            print(f"- {kernel}, forced on this machine: ratio {ratio:.3f} on 2 threads (the bare kernel alone:"
                  f" {floor:.3f}); analysis {100 * fraction:.0f} % of the bare kernel per thread.")
    print()
    print("## Reproduce\n")
    print("```sh\ntools/benchmark/run-benchmarks.sh\n```")


if __name__ == "__main__":
    main()
