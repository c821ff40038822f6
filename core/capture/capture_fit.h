// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A pulse shape fitted to a measured period by least squares: the amplitude Vmax, the duty cycle
// D and the delay of the pulse's start within the period that make the shape's samples nearest
// the measured ones.
//
// For a given D and delay the best Vmax is linear: sum(y u) / sum(u^2), u the shape's unit
// samples, and the sum of squares left is sum(y^2) - sum(y u)^2 / sum(u^2). The fit looks for the
// D and delay that leave the least: first on the period read at most 256 points, every delay of
// one point and D from 0.01 to 1 by 0.01; then at the period's own N points, every delay within
// two of those points of the best and D within 0.01 of it, halving D's step down to 1e-6. The
// delay is whole samples of the period (its resolution 1 / (N f)); D, any value in (0, 1].
#pragma once

#include "core/state/analysis_state.h"
#include "core/texts/pulse_shapes.h"

#include <cstdint>
#include <optional>
#include <vector>

struct PulseFit
{
    double amplitude = 0; // V: Vmax, negative for pulses below the baseline
    double dutyCycle = 0; // D
    std::int64_t delay = 0; // samples of the period, 0 to N - 1
    double rmsDifference = 0; // V: the root of the mean square left between the two
};

// The most points a period is fitted at: a longer one is read at this many, each the mean of the
// values around it, and its delay, whole points of that reading, is scaled back to its own.
constexpr std::int64_t MostFitPoints = 8192;

// `period`: N values over one period (N >= 4). Nothing for fewer values, or for a period of zeros
// alone.
std::optional<PulseFit> FitPulse(PulseShape shape, const std::vector<double> &period);

// The analysis of s(t - delay / (N f)): its samples 0 to N - 1 turned `delay` places on (s(N)
// following s(0)), and each harmonic's coefficients turned by k theta, theta = 2 pi delay / N:
// a' = a cos k theta - b sin k theta, b' = a sin k theta + b cos k theta. The moduli, the DC
// component, the peaks and the measures are those of any delay. The model beside a measured
// signal is drawn with the delay the fit found. No sum of the harmonics is held yet.
void DelayAnalysis(AnalysisState &analysis, std::int64_t delay);
