// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/spectrum/harmonic_sum.h"

#include "core/spectrum/fft/real_transform.h"
#include "core/spectrum/fft/transform_thread.h"
#include "core/spectrum/spectrum.h"
#include "core/state/memory_budget.h"
#include "core/state/task_control.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <utility>

namespace {

// Elements handled between two looks at the cancel flag: about a millisecond of work.
constexpr std::int64_t Chunk = 1 << 18;

bool Cancelled(const TaskControl *control)
{
    return control && control->Cancelled();
}

void Step(TaskControl *control)
{
    if (control)
        control->AddDone(1);
}

} // namespace

std::optional<RealArray> ComputeHarmonicSum(const AnalysisState &state, TaskControl *control,
                                            std::int64_t harmonics, const FilterSettings *filter)
{
    const std::int64_t n = state.SampleCount;
    if (n < 1 || state.Samples.empty()) // no analysis yet
        return RealArray();
    const std::int64_t all = RoundToCount(state.HarmonicCount);
    const std::int64_t hmax
        = std::min<std::int64_t>(harmonics < 0 ? all : std::min(harmonics, all),
                                 static_cast<std::int64_t>(state.CosCoefficients.size()) - 1);
    // Bins 0 to H where H is below N / 2: the padded way is then shorter. Every partial sum of
    // an analysis uses the same bins, and so the padded transform's filter kept from the last.
    const std::int64_t used
        = std::min<std::int64_t>(all, static_cast<std::int64_t>(state.CosCoefficients.size()) - 1);
    auto transform = std::make_shared<RealTransform>(n, used < n / 2 ? used + 1 : -1);
    std::complex<double> *bins = transform->Bins();
    for (std::int64_t m = 0; m < transform->BinCount(); m += Chunk) {
        std::fill(bins + m, bins + std::min(m + Chunk, transform->BinCount()),
                  std::complex<double>());
        if (Cancelled(control))
            return std::nullopt;
    }

    // The inverse transform sums X[m] e^{+2 pi i m j / n} over m = 0 .. n - 1 with X[n - m] =
    // conj(X[m]). a cos(t) + b sin(t) is the real part of (a - i b) e^{i t}: half of it at bin m
    // and its conjugate at bin n - m make it whole. Harmonic k has bin m = k mod n; one whose bin
    // lies above n / 2 goes, conjugated, to its mirror n - m. At bin 0 (and at n / 2 for even n)
    // the wave is cos alone, 1 or (-1)^j: the cosine coefficient whole, the sine one vanishes.
    bins[0] = filter ? state.MeanValue * FilterResponse(*filter, 0).real() : state.MeanValue;
    for (std::int64_t k = 1; k <= hmax; ++k) {
        double a = state.CosCoefficients[k];
        double b = state.SinCoefficients[k];
        if (filter) {
            const FilteredHarmonic y
                = Filtered(a, b, FilterResponse(*filter, static_cast<double>(k) * state.Frequency));
            a = y.cos;
            b = y.sin;
        }
        const std::int64_t m = k % n;
        if (m == 0 || 2 * m == n)
            bins[m] += a;
        else if (2 * m < n)
            bins[m] += std::complex<double>(a / 2, -b / 2);
        else
            bins[n - m] += std::complex<double>(a / 2, b / 2);
        if (k % Chunk == 0 && Cancelled(control))
            return std::nullopt;
    }
    Step(control);
    if (Cancelled(control))
        return std::nullopt;

    TransformThread inverse(transform, TransformThread::Direction::Inverse,
                            control ? control->Watcher() : nullptr);
    inverse.Start();
    if (!inverse.Wait(control))
        return std::nullopt;
    Step(control);

    RealArray sum(static_cast<std::size_t>(n) + 1);
    const double *reals = transform->Reals();
    for (std::int64_t i = 0; i < n; i += Chunk) {
        std::copy(reals + i, reals + std::min(i + Chunk, n), sum.begin() + i);
        if (Cancelled(control))
            return std::nullopt;
    }
    sum[static_cast<std::size_t>(n)] = sum[0];
    Step(control);
    return sum;
}

void AddHarmonicWave(const AnalysisState &state, std::int64_t k, double weight, double *values)
{
    const std::int64_t n = state.SampleCount;
    if (n < 1)
        return;
    const double a = weight * state.CosCoefficients[static_cast<std::size_t>(k)];
    const double b = weight * state.SinCoefficients[static_cast<std::size_t>(k)];
    // Angles are taken modulo a turn in integers, exact for any k and i. Sample `anchor + j` has
    // the angle of the anchor plus that of j steps, both looked up exactly, so that
    // a cos + b sin there is (a cos_A + b sin_A) cos_j + (b cos_A - a sin_A) sin_j: two products
    // a sample, independent of each other, with a sine and a cosine only every Anchor samples.
    constexpr std::int64_t Anchor = 128;
    const double turn = 2 * std::numbers::pi / double(n);
    const std::int64_t stepIndex = k % n;
    std::array<double, Anchor> stepCos {};
    std::array<double, Anchor> stepSin {};
    for (std::int64_t j = 0; j < Anchor; ++j) {
        const auto index = static_cast<double>((stepIndex * (j % n)) % n);
        stepCos[static_cast<std::size_t>(j)] = std::cos(turn * index);
        stepSin[static_cast<std::size_t>(j)] = std::sin(turn * index);
    }
    for (std::int64_t anchor = 0; anchor <= n; anchor += Anchor) {
        const auto index = static_cast<double>((stepIndex * (anchor % n)) % n);
        const double c = std::cos(turn * index);
        const double s = std::sin(turn * index);
        const double alongCos = a * c + b * s;
        const double alongSin = b * c - a * s;
        const std::int64_t count = std::min(Anchor, n + 1 - anchor);
        double *out = values + anchor;
        for (std::int64_t j = 0; j < count; ++j)
            out[j] += alongCos * stepCos[static_cast<std::size_t>(j)]
                + alongSin * stepSin[static_cast<std::size_t>(j)];
    }
}

std::uint64_t HarmonicSumBytes(std::int64_t n)
{
    return RealTransform::BufferBytes(n) + (static_cast<std::uint64_t>(n) + 1) * sizeof(double);
}

std::optional<Refusal> HarmonicSumMemoryProblem(std::int64_t n, std::uint64_t availableMemory)
{
    return MemoryProblem(n, HarmonicSumBytes(n), availableMemory);
}
