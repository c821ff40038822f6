// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/capture/capture_fit.h"

#include "core/spectrum/pulse_shapes.h"
#include "core/spectrum/spectrum.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct Trial
{
    double left = HUGE_VAL; // the sum of squares left
    double amplitude = 0;
    double duty = 0;
    std::int64_t delay = 0;
};

// The shape's unit samples over one period of n points, the pulse lasting n d of them.
std::vector<double> Unit(PulseShape shape, double d, std::int64_t n)
{
    const UnitSample sample = MathOf(shape).sample;
    const double nd = static_cast<double>(n) * d;
    const bool joined = d >= 1;
    std::vector<double> u(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i)
        u[static_cast<std::size_t>(i)] = static_cast<double>(i) <= nd ? sample(i, nd, joined) : 0;
    return u;
}

// The best amplitude of the unit pulse delayed by `delay` points, and the sum of squares it
// leaves, for the values y whose squares sum to `energy`.
Trial Try(const std::vector<double> &y, double energy, const std::vector<double> &u, double d,
          std::int64_t delay)
{
    const auto n = static_cast<std::int64_t>(y.size());
    double yu = 0, uu = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const double v = u[static_cast<std::size_t>(i)];
        if (v == 0)
            continue;
        yu += y[static_cast<std::size_t>((i + delay) % n)] * v;
        uu += v * v;
    }
    Trial trial;
    if (!(uu > 0))
        return trial;
    trial.amplitude = yu / uu;
    trial.left = std::max(0.0, energy - yu * yu / uu);
    trial.duty = d;
    trial.delay = delay;
    return trial;
}

// The values read at m points, each the mean of the values around it.
std::vector<double> Coarse(const std::vector<double> &period, std::int64_t m)
{
    const auto n = static_cast<std::int64_t>(period.size());
    std::vector<double> coarse(static_cast<std::size_t>(m));
    for (std::int64_t j = 0; j < m; ++j) {
        const std::int64_t from = j * n / m, to = std::max(from + 1, (j + 1) * n / m);
        double sum = 0;
        for (std::int64_t i = from; i < to; ++i)
            sum += period[static_cast<std::size_t>(i)];
        coarse[static_cast<std::size_t>(j)] = sum / static_cast<double>(to - from);
    }
    return coarse;
}

double Energy(const std::vector<double> &y)
{
    double sum = 0;
    for (const double v : y)
        sum += v * v;
    return sum;
}

} // namespace

std::optional<PulseFit> FitPulse(PulseShape shape, const std::vector<double> &measured)
{
    // A longer period is fitted read at MostFitPoints, its delay then scaled back and the
    // difference left taken at every one of its points.
    const auto count = static_cast<std::int64_t>(measured.size());
    if (count > MostFitPoints) {
        const std::optional<PulseFit> fit = FitPulse(shape, Coarse(measured, MostFitPoints));
        if (!fit)
            return std::nullopt;
        const std::int64_t delay = fit->delay * count / MostFitPoints;
        const Trial left = Try(measured, Energy(measured), Unit(shape, fit->dutyCycle, count),
                               fit->dutyCycle, delay);
        return PulseFit {left.amplitude, fit->dutyCycle, delay,
                         std::sqrt(left.left / static_cast<double>(count))};
    }
    const std::vector<double> &period = measured;
    const auto n = count;
    const double energy = Energy(period);
    if (n < 4 || !(energy > 0) || !std::isfinite(energy))
        return std::nullopt;
    // Every delay and a coarse D on the period read at m points.
    const std::int64_t m = std::min<std::int64_t>(n, 256);
    const std::vector<double> coarse = Coarse(period, m);
    const double coarseEnergy = Energy(coarse);
    Trial best;
    for (int step = 1; step <= 100; ++step) {
        const double d = step / 100.0;
        const std::vector<double> u = Unit(shape, d, m);
        for (std::int64_t delay = 0; delay < m; ++delay) {
            const Trial trial = Try(coarse, coarseEnergy, u, d, delay);
            if (trial.left < best.left)
                best = trial;
        }
    }
    // At the full N: the delays near the coarse one, D refined about the best.
    const std::int64_t centre = best.delay * n / m;
    const std::int64_t reach = 2 * ((n + m - 1) / m);
    const auto around = [&](double d) {
        Trial found;
        const std::vector<double> u = Unit(shape, d, n);
        for (std::int64_t delay = centre - reach; delay <= centre + reach; ++delay) {
            const Trial trial = Try(period, energy, u, d, ((delay % n) + n) % n);
            if (trial.left < found.left)
                found = trial;
        }
        return found;
    };
    Trial fine = around(best.duty);
    for (double step = 0.01; step >= 1e-6; step /= 2) {
        // At each step, on while a side leaves less.
        for (bool moved = true; moved;) {
            moved = false;
            for (const double d : {fine.duty - step, fine.duty + step}) {
                if (!(d > 0) || d > 1)
                    continue;
                const Trial trial = around(d);
                if (trial.left < fine.left) {
                    fine = trial;
                    moved = true;
                }
            }
        }
    }
    if (!std::isfinite(fine.left))
        return std::nullopt;
    return PulseFit {fine.amplitude, fine.duty, fine.delay,
                     std::sqrt(fine.left / static_cast<double>(n))};
}

void DelayAnalysis(AnalysisState &analysis, std::int64_t delay)
{
    const std::int64_t n = analysis.SampleCount;
    if (n < 1 || analysis.Samples.size() < static_cast<std::size_t>(n) + 1)
        return;
    delay = ((delay % n) + n) % n;
    if (delay == 0)
        return;
    double *samples = analysis.Samples.data();
    std::rotate(samples, samples + (n - delay), samples + n);
    samples[n] = samples[0];
    const std::int64_t harmonics = HarmonicsHeld(analysis);
    for (std::int64_t k = 1; k <= harmonics; ++k) {
        // k delay / N in turns, reduced before the angle so that a high harmonic keeps its digits.
        const double turns = static_cast<double>((k % n) * delay % n) / static_cast<double>(n);
        const double angle = 2 * std::numbers::pi * turns;
        const auto i = static_cast<std::size_t>(k);
        const double a = analysis.CosCoefficients[i], b = analysis.SinCoefficients[i];
        analysis.CosCoefficients[i] = a * std::cos(angle) - b * std::sin(angle);
        analysis.SinCoefficients[i] = a * std::sin(angle) + b * std::cos(angle);
    }
}
