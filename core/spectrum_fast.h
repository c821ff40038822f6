// The spectrum computation made fast: the same samples, angles and order of summation as
// ComputeSpectrum, with the zero samples skipped, one harmonic per vector lane, the harmonics
// shared among threads, followed and cancelled through a TaskControl: Done() counts harmonics.
#pragma once

#include "analysis_state.h"
#include "sincos_kernels.h"
#include "task_control.h"

#include <cstdint>

// Computes what ComputeSpectrum computes, every harmonic with `kernel`, on `threads` threads (the
// caller's among them). With ExactKernel() every bit is the literal loops'; with a vector kernel
// every modulus lies within 1e-15 of the largest. Returns false when cancelled; the state then
// holds a partial analysis to be thrown away.
bool ComputeSpectrumFast(AnalysisState &state, const SpectrumKernel &kernel, unsigned threads,
                         TaskControl *control = nullptr);

// The program's analysis: the bulk of the harmonics with the vector `kernel`, and every modulus
// the program shows as the literal loops give it: harmonic `shown` (z, or 0 for none) and the
// largest, hence SpectrumPeak. MeanValue, Samples and SignalPeak are the literal loops' always.
bool ComputeSpectrumShown(AnalysisState &state, std::int32_t shown, const SpectrumKernel &kernel,
                          unsigned threads, TaskControl *control = nullptr);
