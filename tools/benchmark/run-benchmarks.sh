#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks, runs them all in one go with numpy beside them (its direct sums at the
# targets' point, its real FFT beside every row of the scaling table), and writes the table of
# times, ratios and targets to docs/performance.md.
set -euo pipefail
cd "$(dirname "$0")/../.."

tools/install-dependencies.sh python3-numpy
cmake --preset release
cmake --build --preset release --target spectrum_benchmark drawing_benchmark harmonic_sum_benchmark
out=build/release/benchmark-results
mkdir -p "$out"
cat /proc/loadavg > "$out/load.txt" # how busy the machine was: at the start and at the end
# numpy as a student's machine runs it: some machines here set OPENBLAS_CORETYPE and
# OPENBLAS_L2_SIZE for older OpenBLAS builds, which slow a current numpy; unset for numpy alone.
numpy() { env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE /usr/bin/python3 "$@"; }

# The targets' point, on every vector kernel this processor runs, with the bare kernels.
build/release/tools/benchmark/spectrum_benchmark --benchmark_repetitions=5 \
    --benchmark_filter='^(Literal|Exact|Analysis/[^/]*|Measures)/N:1000000/H:100(/|$)|^BareKernel/' \
    --benchmark_out="$out/targets.json" --benchmark_out_format=json
numpy tools/benchmark/numpy_direct_sums.py 1000000 100 > "$out/numpy.json"
numpy tools/benchmark/numpy_direct_sums.py 1000000 100 nonzero > "$out/numpy-nonzero.json"
build/release/tools/benchmark/spectrum_benchmark --benchmark_repetitions=3 \
    --benchmark_filter='^(Literal/N:(10000|100000)/|CancelLatency)' \
    --benchmark_out="$out/scaling.json" --benchmark_out_format=json
# The scaling table, each row with numpy's real FFT, the crossover of the two paths, and what the
# results' pages alone cost at H = N.
build/release/tools/benchmark/spectrum_benchmark --benchmark_repetitions=3 \
    --benchmark_filter="${SPECTRUM_ROWS:-^(Spectrum|ResultPages|AnyN|AnyNAllHarmonics|Crossover|HugeAmplitude)/}" \
    --benchmark_out="$out/spectrum.json" --benchmark_out_format=json
numpy tools/benchmark/numpy_rfft.py ${NUMPY_ROWS:-10000,10 10000,100 100000,100 1000000,10 \
    1000000,100 1000000,1000 1000000,10000 1000000,100000 1000000,1000000 10000000,100 \
    100000000,100 100000,100000} > "$out/numpy-rfft.json"
# Each pulse shape against the half-sine, and the sampling's share: interleaved, so that the
# shared machine's drift falls on every shape alike.
build/release/tools/benchmark/spectrum_benchmark --benchmark_repetitions=10 \
    --benchmark_enable_random_interleaving=true \
    --benchmark_filter='^(Shapes|Sampling)/' \
    --benchmark_out="$out/shapes.json" --benchmark_out_format=json
QT_QPA_PLATFORM=offscreen build/release/tools/benchmark/drawing_benchmark --benchmark_repetitions=3 \
    --benchmark_filter='^(TraceBy|ClickTo|ToggleView|StepTo)' \
    --benchmark_out="$out/drawing.json" --benchmark_out_format=json
QT_QPA_PLATFORM=offscreen build/release/tools/benchmark/drawing_benchmark \
    --benchmark_filter='^ReadoutMove' \
    --benchmark_out="$out/readout.json" --benchmark_out_format=json
# The harmonics one at a time: one wheel step, one move onto a new line, at N = 1e4, 1e6, 1e7.
QT_QPA_PLATFORM=offscreen build/release/tools/benchmark/drawing_benchmark \
    --benchmark_filter='^(WheelStep|LineMove)/' \
    --benchmark_out="$out/one-at-a-time.json" --benchmark_out_format=json

QT_QPA_PLATFORM=offscreen build/release/tools/benchmark/harmonic_sum_benchmark --benchmark_repetitions=3 \
    --benchmark_out="$out/harmonic-sum.json" --benchmark_out_format=json

cat /proc/loadavg >> "$out/load.txt"
/usr/bin/python3 tools/benchmark/report.py "$out" "$(git rev-parse --short HEAD)" > docs/performance.md
{ echo; /usr/bin/python3 tools/benchmark/harmonic_sum_report.py "$out/harmonic-sum.json"; } >> docs/performance.md
{ echo; /usr/bin/python3 tools/benchmark/any_n_report.py "$out/spectrum.json" "$out/harmonic-sum.json"; } >> docs/performance.md
{ echo; /usr/bin/python3 tools/benchmark/one_at_a_time_report.py "$out/one-at-a-time.json"; } >> docs/performance.md
{ echo; /usr/bin/python3 tools/benchmark/shapes_report.py "$out/shapes.json"; } >> docs/performance.md
cat docs/performance.md
