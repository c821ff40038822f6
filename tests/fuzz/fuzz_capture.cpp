// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The capture reader on any bytes: it ends with a capture or a message, never a crash. A capture
// lies on an even grid of finite values that are not all equal, for the channel asked for; its
// frequency, when found, is positive, and its average period holds the points asked for, each
// between the lowest and the highest value, as an average of values interpolated between them.
#include "core/capture/capture_period.h"
#include "core/capture/capture_reader.h"
#include "core/state/task_control.h"
#include "fuzz_check.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::istringstream in(text);
    CaptureOptions options;
    options.channel = size % 3 == 0 ? 1 : 0;
    options.mostSamples = std::int64_t(1) << 20;
    TaskControl control;
    const CaptureResult result = ReadCapture(in, size, options, &control);
    FUZZ_CHECK(!std::holds_alternative<CaptureCancelled>(result), "cancelled, never asked to");
    if (const CaptureProblem *problem = std::get_if<CaptureProblem>(&result)) {
        FUZZ_CHECK(!problem->text.empty(), "reason %d without words",
                   static_cast<int>(problem->reason));
        FUZZ_CHECK((problem->text.rfind(u"Riga ", 0) == 0) == (problem->line > 0),
                   "reason %d: line %llu and its message disagree",
                   static_cast<int>(problem->reason),
                   static_cast<unsigned long long>(problem->line));
        return 0;
    }
    const Capture &capture = std::get<Capture>(result);
    FUZZ_CHECK(control.Done() == static_cast<std::int64_t>(size), "%lld of %zu bytes counted",
               static_cast<long long>(control.Done()), size);
    FUZZ_CHECK(capture.interval > 0 && std::isfinite(capture.interval), "interval %g",
               capture.interval);
    FUZZ_CHECK(std::isfinite(capture.start), "start %g", capture.start);
    FUZZ_CHECK(capture.values.size() >= 2, "%zu values", capture.values.size());
    FUZZ_CHECK(capture.samplesRead >= static_cast<std::int64_t>(capture.values.size()),
               "%zu values from %lld rows", capture.values.size(),
               static_cast<long long>(capture.samplesRead));
    FUZZ_CHECK(std::all_of(capture.values.begin(), capture.values.end(),
                           [](double v) { return std::isfinite(v); }),
               "a value not finite");
    const auto [lowest, highest]
        = std::minmax_element(capture.values.begin(), capture.values.end());
    FUZZ_CHECK(*lowest < *highest, "a flat signal read");
    FUZZ_CHECK(options.channel < capture.channelNames.size()
                   && capture.channelName == capture.channelNames[options.channel],
               "channel %zu of %zu", options.channel, capture.channelNames.size());

    const auto estimate = EstimateFrequency(capture);
    if (!std::holds_alternative<FrequencyEstimate>(estimate))
        return 0;
    const FrequencyEstimate &frequency = std::get<FrequencyEstimate>(estimate);
    FUZZ_CHECK(frequency.hertz > 0 && std::isfinite(frequency.hertz) && frequency.periods >= 1,
               "frequency %g over %lld periods", frequency.hertz,
               static_cast<long long>(frequency.periods));
    constexpr std::int64_t Points = 8;
    const auto averaged = AveragePeriod(capture, frequency.hertz, Points);
    if (!std::holds_alternative<PeriodAverage>(averaged))
        return 0;
    const PeriodAverage &average = std::get<PeriodAverage>(averaged);
    FUZZ_CHECK(average.values.size() == Points && average.periods >= 1, "%zu points, %lld periods",
               average.values.size(), static_cast<long long>(average.periods));
    const double slack = 1e-9 * std::max(std::abs(*lowest), std::abs(*highest));
    for (const double v : average.values)
        FUZZ_CHECK(v >= *lowest - slack && v <= *highest + slack, "%g outside %g to %g", v, *lowest,
                   *highest);
    return 0;
}
