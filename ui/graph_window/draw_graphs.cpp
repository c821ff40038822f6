#include "draw_graphs.h"

#include "form2.h"
#include "plot_area.h"

#include "core/analysis_state.h"
#include "core/spectrum.h"

#include <QColor>

#include <cstdint>

namespace {

constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb Blue = qRgb(0, 0, 255);
constexpr QRgb Green = qRgb(0, 255, 0);

void DrawFrame(PlotArea &plot)
{
    for (int c = 100; c >= 1; c -= 10)
        plot.Line(0, float(c), 0.2f, float(c));
    for (int d = 0; d <= 100; d += 10)
        plot.Line(float(d), 0, float(d), 0.5f);
    plot.Line(0, 70, 100, 70, Red);
    plot.Line(0, 0.1f, 100, 0.1f, Blue);
}

// Each period is 100 / P wide; the last segment of a period ends on the axis where the next
// period's first one starts. An all-zero signal (a zero peak) is drawn flat on the axis.
void DrawTrace(PlotArea &plot, const AnalysisState &state)
{
    const std::int64_t periods = RoundToCount(state.PeriodCount);
    const std::int64_t n = state.SampleCount;
    const double w = 100 / state.PeriodCount;
    const double peak = state.SignalPeak;
    const auto &s = state.Samples;
    const auto level = [&](std::int64_t i) { return peak == 0 ? 70.0 : s[i] * 25 / peak + 70; };
    for (std::int64_t j = 1; j <= periods; ++j) {
        for (std::int64_t i = 0; i <= n - 1; ++i) {
            const double x1 = w * double(j - 1) + (w * double(i)) / double(n);
            const double x2 = (w * double(i + 1)) / double(n) + w * double(j - 1);
            plot.Line(float(x1), float(level(i)), float(x2), float(level(i + 1)), Red);
        }
    }
}

// One blue line per harmonic; the three green DC segments go on top after every line. Nothing
// when every modulus is zero: the scale would divide by zero.
void DrawSpectrum(PlotArea &plot, const AnalysisState &state)
{
    const double peak = state.SpectrumPeak;
    if (peak == 0)
        return;
    const std::int64_t harmonics = RoundToCount(state.HarmonicCount);
    for (std::int64_t k = 1; k <= harmonics; ++k) {
        // k * 100 in 64 bits: it outgrows 32 bits from k = 21474837.
        const double x = double(k * 100) / state.HarmonicCount;
        const double y = state.Magnitudes[k] * 45 / peak;
        const double yd = state.MeanValue * 45 / peak;
        plot.Line(float(x), 0, float(x), float(y), Blue);
        plot.Line(0, 0, 0, float(yd), Green);
        plot.Line(0.1f, 0, 0.1f, float(yd), Green);
        plot.Line(0.2f, 0, 0.2f, float(yd), Green);
    }
}

} // namespace

void DrawGraphs(AnalysisState &state, Form2 &form)
{
    form.show();
    PlotArea &plot = *form.Picture1();
    plot.Scale(0, 100, 100, 0);
    DrawFrame(plot);
    FindSpectrumPeak(state);
    DrawTrace(plot, state);
    DrawSpectrum(plot, state);
}
