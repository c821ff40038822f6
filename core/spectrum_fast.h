// The spectrum computation made fast: the same samples, angles and order of summation as
// ComputeSpectrum, with the zero samples skipped, sine and cosine of an angle taken together,
// the harmonics shared among threads, and a way to follow and cancel it from another thread.
#pragma once

#include "analysis_state.h"

#include <atomic>
#include <cstdint>

enum class SpectrumPath
{
    Exact, // the C library's sincos: every bit as ComputeSpectrum gives it
    Vectorised, // SLEEF's 1-ULP vector sincos: moduli within 1e-15 of the largest
};

// Shared between the computing threads and whoever waits for them.
class SpectrumControl
{
public:
    void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    // Harmonics whose coefficients are computed so far.
    std::int64_t HarmonicsDone() const { return done_.load(std::memory_order_relaxed); }
    void HarmonicDone() { done_.fetch_add(1, std::memory_order_relaxed); }

private:
    std::atomic<bool> cancelled_ {false};
    std::atomic<std::int64_t> done_ {0};
};

// Computes what ComputeSpectrum computes, on `threads` threads (the caller's among them).
// Returns false when cancelled; the state then holds a partial analysis to be thrown away.
bool ComputeSpectrumFast(AnalysisState &state, SpectrumPath path, unsigned threads,
                         SpectrumControl *control = nullptr);
