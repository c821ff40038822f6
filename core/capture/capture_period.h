// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The period of a captured pulse train, and its one period averaged over all those captured.
//
// The frequency comes from the signal's crossings of the level halfway between its lowest and
// highest values, with a hysteresis of a fifth of that span either side: an edge counts once the
// signal has gone from beyond one side of the band to beyond the other, at the last crossing of
// the middle level between them, interpolated linearly between its two samples. Each edge is
// numbered from the one before it by their distance in median spacings, so that an edge lost to
// noise leaves a gap in the numbers and one as near the last as a noise spike is left out. The
// period is the least-squares slope of the rising edges' times against their numbers, and of the
// falling edges', averaged with the number of periods each spans as weight. For a pulse train of
// any duty cycle, each edge's time is off by less than a sample interval, unbiased from edge to
// edge, so that the period's error falls as the number of periods grows.
//
// The average takes the first M whole periods from the capture's start, M = floor(duration /
// period); each is read at N points, t_i = start + (m + i / N) / f, linearly interpolated
// between the samples around it, and the M readings of each point are averaged. Noise
// uncorrelated from sample to sample with a deviation sigma is left, at each point, with a
// deviation of sigma / sqrt(M) times at most 1 (between 0.71 and 1 with the interpolation:
// sqrt(a^2 + (1 - a)^2) for a point a fraction a past a sample).
#pragma once

#include "core/capture/capture_reader.h"

#include <cstdint>
#include <variant>
#include <vector>

class TaskControl;

struct FrequencyEstimate
{
    double hertz = 0;
    std::int64_t periods = 0; // the periods between the first and the last edges used
};

std::variant<FrequencyEstimate, CaptureProblem> EstimateFrequency(const Capture &capture);

// The capture's span, from its first sample to its last, in seconds.
double Duration(const Capture &capture);
// The whole periods at `frequency` that the capture holds, M; 0 for none, or for more periods
// than samples, which no average reads.
std::int64_t WholePeriods(const Capture &capture, double frequency);

// The most points a period may be read at.
constexpr std::int64_t MostPeriodPoints = std::int64_t(1) << 20;

struct PeriodAverage
{
    std::vector<double> values; // V, values[i] at i / (N f) past each period's start
    std::int64_t periods = 0; // M
    double period = 0; // s
};

// `points` is N, from 1 to MostPeriodPoints. The work, M N points, is counted in `control`,
// which may cancel it.
std::variant<PeriodAverage, CaptureProblem, CaptureCancelled>
AveragePeriod(const Capture &capture, double frequency, std::int64_t points,
              TaskControl *control = nullptr);
