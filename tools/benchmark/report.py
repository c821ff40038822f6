#!/usr/bin/python3
"""Turns one run of the benchmarks into docs/performance.md: times, ratios and the targets."""
import json
import os
import platform
import re
import subprocess
import sys


def load(path):
    with open(path) as f:
        return json.load(f)


def fastest(results):
    """name -> best time in ms (the 'min' statistic, or the single run)."""
    times = {}
    for b in results["benchmarks"]:
        name = b["run_name"]
        unit = {"ms": 1.0, "us": 1e-3, "ns": 1e-6, "s": 1e3}[b["time_unit"]]
        t = b["real_time"] * unit
        if b.get("aggregate_name") == "min" or b.get("run_type") == "iteration":
            if b.get("aggregate_name") == "min" or name not in times:
                times[name] = t if b.get("aggregate_name") == "min" else min(t, times.get(name, t))
    return times


def machine():
    model = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    return f"{model}, {os.cpu_count()} cores, Linux {platform.release()}"


def main():
    out, commit = sys.argv[1], sys.argv[2]
    targets = load(f"{out}/targets.json")
    scaling = load(f"{out}/scaling.json")
    drawing = load(f"{out}/drawing.json")
    numpy_full = load(f"{out}/numpy.json")["seconds"] * 1e3
    numpy_nonzero = load(f"{out}/numpy-nonzero.json")["seconds"] * 1e3
    kernel = targets["context"].get("sincos_kernel", "?")
    t = fastest(targets)
    s = fastest(scaling)
    d = fastest(drawing)

    literal = t["Literal/N:1000000/H:100"]
    exact1 = t["Exact/N:1000000/H:100/threads:1/real_time"]
    exact2 = t["Exact/N:1000000/H:100/threads:2/real_time"]
    vec1 = t["Vectorised/N:1000000/H:100/threads:1/real_time"]
    vec2 = t["Vectorised/N:1000000/H:100/threads:2/real_time"]
    columns = d["TraceByColumns/N:1000000/P:10"]
    qpainter = d["TraceByQPainter/N:1000000/P:10"]
    click = d["ClickToGraphs/real_time"]
    cancel = max(v for k, v in s.items() if k.startswith("CancelLatency/N:100000000"))

    def ok(value, limit):
        return "met" if value <= limit else "**not met**"

    print("# Performance\n")
    print(f"Measured in one run of `tools/benchmark/run-benchmarks.sh` at commit {commit} on {machine()}.")
    print(f"Vector sine and cosine: SLEEF, {kernel} kernel. Every time is the fastest of the repetitions")
    print("(5 at the targets' point, 3 elsewhere): the machine is a shared virtual one and its timings vary")
    print("by 10 to 20 % from run to run.\n")
    print("## Targets\n")
    print("Spectrum at (N, H, D) = (1e6, 100, 0.5); baseline: the literal loops (one `sin` and one `cos`")
    print("per sample and harmonic, one thread).\n")
    print("| what | time | ratio | target | |")
    print("|---|---:|---:|---:|---|")
    print(f"| literal loops | {literal:.0f} ms | 1 | | |")
    print(f"| exact path, 1 thread | {exact1:.0f} ms | {exact1 / literal:.3f} | | |")
    print(f"| exact path, 2 threads | {exact2:.0f} ms | {exact2 / literal:.3f} | 0.20 | {ok(exact2 / literal, 0.20)} |")
    print(f"| vectorised path, 1 thread | {vec1:.0f} ms | {vec1 / literal:.3f} | | |")
    print(f"| vectorised path, 2 threads | {vec2:.0f} ms | {vec2 / literal:.3f} | 0.06 | {ok(vec2 / literal, 0.06)} |")
    print(f"| numpy direct sums over all N angles | {numpy_full:.0f} ms | vectorised / numpy = {vec2 / numpy_full:.2f} | 0.35 | {ok(vec2 / numpy_full, 0.35)} |")
    print(f"| numpy over the non-zero samples only | {numpy_nonzero:.0f} ms | vectorised / numpy = {vec2 / numpy_nonzero:.2f} | | |")
    print(f"| trace of 1e7 segments, gathered per column | {columns:.1f} ms | vs QPainter {columns / qpainter:.3f} | 0.10 | {ok(columns / qpainter, 0.10)} |")
    print(f"| trace of 1e7 segments, one QPainter::drawLine each | {qpainter:.0f} ms | | | |")
    print(f"| click on Grafici to graphs painted, defaults | {click:.1f} ms | | 30 ms | {ok(click, 30)} |")
    print(f"| cancel request to return, N = 1e8, H = 1e5 | {cancel:.2f} ms | | 200 ms | {ok(cancel, 200)} |")
    print()
    print("numpy runs on one thread; its direct sums take every angle, ours skip the zero samples (half")
    print("of them at D = 0.5), which the second numpy line does too.\n")

    print("## How the time grows\n")
    print("Vectorised path, D = 0.5: the work is N * D * H sine-cosine pairs, and the time follows it.\n")
    print("| N | H | 1 thread | 2 threads | pairs per second, 2 threads |")
    print("|---:|---:|---:|---:|---:|")
    rows = []
    for name, ms in list(t.items()) + list(s.items()):
        m = re.match(r"Vectorised/N:(\d+)/H:(\d+)/threads:(\d)", name)
        if m:
            rows.append((int(m[1]), int(m[2]), int(m[3]), ms))
    for n, h in sorted({(r[0], r[1]) for r in rows}):
        one = next(r[3] for r in rows if r[:3] == (n, h, 1))
        two = next(r[3] for r in rows if r[:3] == (n, h, 2))
        rate = n * 0.5 * h / (two / 1e3)
        print(f"| {n:.0e} | {h} | {one:.1f} ms | {two:.1f} ms | {rate / 1e6:.0f} M |")
    print()
    print("Literal loops at smaller sizes: "
          + ", ".join(f"(N, H) = ({k.split('/')[1][2:]}, {k.split('/')[2][2:]}): {v:.1f} ms"
                      for k, v in s.items() if k.startswith("Literal")) + ".\n")
    print("Trace drawing gathered per column, in a 997 x 605 plot: the time follows the samples of one")
    print("period and the pixels, not the segments.\n")
    print("| N | P | segments | time |")
    print("|---:|---:|---:|---:|")
    for name, ms in d.items():
        m = re.match(r"TraceByColumns/N:(\d+)/P:(\d+)", name)
        if m:
            print(f"| {int(m[1])} | {int(m[2])} | {int(m[1]) * int(m[2]):.0e} | {ms:.1f} ms |")
    print()
    print("## Reproduce\n")
    print("```sh\ntools/benchmark/run-benchmarks.sh\n```")


if __name__ == "__main__":
    main()
