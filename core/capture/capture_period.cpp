// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/capture/capture_period.h"

#include "core/state/task_control.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

CaptureProblem Problem(CaptureReason reason, std::initializer_list<std::u16string_view> parts = {})
{
    return {reason, 0, CaptureMessage(reason, 0, parts)};
}

// The period, in samples, of a list of edges of one kind, and the periods they span. Each edge
// takes its count from the one before it and their distance in median spacings, so that an edge
// lost to noise leaves no gap in the count, and an edge as near the last as a noise spike makes it
// is left out; the period is then the least-squares slope of the edges' places against their
// counts.
struct EdgeFit
{
    double period = 0;
    double periods = 0;
};
EdgeFit FitEdges(const std::vector<double> &edges)
{
    if (edges.size() < 2)
        return {};
    std::vector<double> spacings(edges.size() - 1);
    for (std::size_t k = 1; k < edges.size(); ++k)
        spacings[k - 1] = edges[k] - edges[k - 1];
    const auto middle = spacings.begin() + static_cast<std::ptrdiff_t>(spacings.size() / 2);
    std::nth_element(spacings.begin(), middle, spacings.end());
    const double spacing = *middle;
    if (!(spacing > 0))
        return {};
    std::vector<double> counts {0}, places {edges.front()};
    for (std::size_t k = 1; k < edges.size(); ++k) {
        const double step = std::round((edges[k] - places.back()) / spacing);
        if (step >= 1) {
            counts.push_back(counts.back() + step);
            places.push_back(edges[k]);
        }
    }
    if (places.size() < 2)
        return {};
    const double n = static_cast<double>(places.size());
    double meanK = 0, meanX = 0;
    for (std::size_t k = 0; k < places.size(); ++k) {
        meanK += counts[k] / n;
        meanX += places[k] / n;
    }
    double kx = 0, kk = 0;
    for (std::size_t k = 0; k < places.size(); ++k) {
        kx += (counts[k] - meanK) * (places[k] - meanX);
        kk += (counts[k] - meanK) * (counts[k] - meanK);
    }
    return {kx / kk, counts.back()};
}

} // namespace

std::variant<FrequencyEstimate, CaptureProblem> EstimateFrequency(const Capture &capture)
{
    const std::vector<double> &v = capture.values;
    if (v.size() < 2 || !(capture.interval > 0))
        return Problem(CaptureReason::LessThanOnePeriod);
    const auto [lowest, highest] = std::minmax_element(v.begin(), v.end());
    // Halves, so that no difference of two doubles overflows.
    const double half = *highest / 2 - *lowest / 2;
    const double middle = *lowest / 2 + *highest / 2;
    if (!(half > 0) || !std::isfinite(half))
        return Problem(CaptureReason::LessThanOnePeriod);
    const double below = middle - half * 2 / 5;
    const double above = middle + half * 2 / 5;

    enum class Side
    {
        Unknown,
        Low,
        High
    };
    Side side = Side::Unknown;
    std::vector<double> rising, falling;
    double crossing = 0; // the last crossing of the middle level, in samples
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (i > 0 && (v[i - 1] < middle) != (v[i] < middle)) {
            const double a = (middle / 2 - v[i - 1] / 2) / (v[i] / 2 - v[i - 1] / 2);
            crossing = static_cast<double>(i - 1) + std::clamp(a, 0.0, 1.0);
        }
        if (side != Side::High && v[i] >= above) {
            if (side == Side::Low)
                rising.push_back(crossing);
            side = Side::High;
        } else if (side != Side::Low && v[i] <= below) {
            if (side == Side::High)
                falling.push_back(crossing);
            side = Side::Low;
        }
    }
    const EdgeFit up = FitEdges(rising);
    const EdgeFit down = FitEdges(falling);
    if (up.periods + down.periods == 0)
        return Problem(CaptureReason::LessThanOnePeriod);
    const double samples
        = (up.period * up.periods + down.period * down.periods) / (up.periods + down.periods);
    const double hertz = 1 / (samples * capture.interval);
    if (!(hertz > 0) || !std::isfinite(hertz))
        return Problem(CaptureReason::LessThanOnePeriod);
    return FrequencyEstimate {hertz, static_cast<std::int64_t>(std::max(up.periods, down.periods))};
}

double Duration(const Capture &capture)
{
    return capture.values.empty()
        ? 0
        : static_cast<double>(capture.values.size() - 1) * capture.interval;
}

std::int64_t WholePeriods(const Capture &capture, double frequency)
{
    // A duration a rounding short of a whole number of periods still holds them.
    const double periods = Duration(capture) * frequency * (1 + 1e-12);
    return periods >= 1 && periods <= static_cast<double>(capture.values.size())
        ? static_cast<std::int64_t>(periods)
        : 0;
}

std::variant<PeriodAverage, CaptureProblem, CaptureCancelled>
AveragePeriod(const Capture &capture, double frequency, std::int64_t points, TaskControl *control)
{
    if (points < 1 || points > MostPeriodPoints)
        return Problem(CaptureReason::BadPointCount,
                       {DecimalText(static_cast<std::uint64_t>(std::max<std::int64_t>(points, 0))),
                        DecimalText(MostPeriodPoints)});
    const std::vector<double> &v = capture.values;
    const double period = 1 / frequency;
    const double duration = Duration(capture);
    if (!(frequency > 0) || !std::isfinite(period) || !(duration >= period))
        return Problem(CaptureReason::ShorterThanPeriod,
                       {QuantityNumberText(duration), QuantityNumberText(period)});
    if (!(period >= 2 * capture.interval))
        return Problem(CaptureReason::PeriodBelowSampling,
                       {QuantityNumberText(period), QuantityNumberText(capture.interval)});
    const std::int64_t periods = std::max<std::int64_t>(1, WholePeriods(capture, frequency));
    const double perPeriod = period / capture.interval; // samples
    const std::size_t n = static_cast<std::size_t>(points);
    PeriodAverage average {std::vector<double>(n, 0.0), periods, period};
    const double count = static_cast<double>(periods);
    for (std::int64_t m = 0; m < periods; ++m) {
        if (control && control->Cancelled())
            return CaptureCancelled {};
        for (std::size_t i = 0; i < n; ++i) {
            const double at
                = (static_cast<double>(m) + static_cast<double>(i) / static_cast<double>(n))
                * perPeriod;
            const double whole = std::floor(at);
            std::size_t j = static_cast<std::size_t>(std::max(whole, 0.0));
            double value;
            if (j + 1 >= v.size()) {
                value = v.back();
            } else {
                const double a = std::clamp(at - whole, 0.0, 1.0);
                value = (1 - a) * v[j] + a * v[j + 1];
            }
            average.values[i] += value / count;
        }
        if (control)
            control->AddDone(points);
    }
    return average;
}
