// The spectrum computation made fast: the same samples, angles and order of summation as
// ComputeSpectrum, with the zero samples skipped, one harmonic per vector lane, the harmonics
// shared among threads, and a way to follow and cancel it from another thread.
#pragma once

#include "analysis_state.h"
#include "sincos_kernels.h"

#include <atomic>
#include <cstdint>

// Shared between the computing threads and whoever waits for them.
class SpectrumControl
{
public:
    void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    // Harmonics whose coefficients are computed so far.
    std::int64_t HarmonicsDone() const { return done_.load(std::memory_order_relaxed); }
    void HarmonicsDone(std::int64_t count) { done_.fetch_add(count, std::memory_order_relaxed); }

private:
    std::atomic<bool> cancelled_ {false};
    std::atomic<std::int64_t> done_ {0};
};

// Computes what ComputeSpectrum computes, every harmonic with `kernel`, on `threads` threads (the
// caller's among them). With ExactKernel() every bit is the literal loops'; with a vector kernel
// every modulus lies within 1e-15 of the largest. Returns false when cancelled; the state then
// holds a partial analysis to be thrown away.
bool ComputeSpectrumFast(AnalysisState &state, const SpectrumKernel &kernel, unsigned threads,
                         SpectrumControl *control = nullptr);

// The program's analysis: the bulk of the harmonics with the vector `kernel`, and every modulus
// the program shows as the literal loops give it: harmonic `shown` (z, or 0 for none) and the
// largest, hence SpectrumPeak. MeanValue, Samples and SignalPeak are the literal loops' always.
bool ComputeSpectrumShown(AnalysisState &state, std::int32_t shown, const SpectrumKernel &kernel,
                          unsigned threads, SpectrumControl *control = nullptr);
