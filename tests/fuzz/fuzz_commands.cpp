// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Both commands from seven typed texts and a pulse shape to a refusal or a stored analysis. A
// refusal changes nothing but the entry-check fields; an accepted analysis has arrays of N + 2
// elements and only showable results; the texts shown (results and cursor readout) are never
// infinite or NaN.
#include "core/analysis/commands.h"
#include "core/platform/for_tests.h"
#include "core/spectrum/spectrum.h"
#include "core/texts/number_text.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "tests/support/message_recorder.h"
#include "tests/support/same_analysis.h"
#include "ui/graph_window/plot_geometry/cursor_readout.h"

#include <cmath>

namespace {

// Small memory and a bound on the work, so that one input takes milliseconds; a larger analysis
// ends as if the user had cancelled it.
class BoundedHost : public CommandHost
{
public:
    BoundedHost() { testing_seam::SetAvailableMemoryBytes(64u << 20); }
    MessageBox &Messages() override { return box; }
    AnalysisOutcome Compute(AnalysisState &analysis) override
    {
        const double work = double(analysis.SampleCount)
            * std::max(1.0, double(RoundToCount(analysis.HarmonicCount)));
        if (work > 2e6)
            return {AnalysisOutcome::Status::Cancelled, {}, {}};
        return CommandHost::Compute(analysis);
    }
    MessageRecorder box;
};

bool Showable(const std::u16string &text)
{
    for (const char *bad : {"inf", "nan", "INF", "NAN", "Inf", "NaN"}) {
        const std::string b(bad);
        if (Narrow(text).find(b) != std::string::npos)
            return false;
    }
    return !text.empty();
}

// A committed state is one the drawing and the readout can use.
void CheckCommitted(const AnalysisState &s, Command command)
{
    const auto size = static_cast<std::size_t>(s.SampleCount) + 2;
    FUZZ_CHECK(s.SampleCount >= 1, "N = %d", s.SampleCount);
    FUZZ_CHECK(s.Samples.size() == size && s.Magnitudes.size() == size
                   && s.CosCoefficients.size() == size && s.SinCoefficients.size() == size,
               "N = %d", s.SampleCount);
    FUZZ_CHECK(std::isfinite(s.MeanValue) && std::isfinite(s.SignalPeak), "N = %d", s.SampleCount);
    FUZZ_CHECK(s.DutyCycle > 0 && s.DutyCycle <= 1, "D = %g", s.DutyCycle);
    FUZZ_CHECK(RoundToCount(s.HarmonicCount) <= s.SampleCount + 1, "H = %g", s.HarmonicCount);
    for (const double m : s.Magnitudes)
        FUZZ_CHECK(std::isfinite(m), "N = %d", s.SampleCount);
    if (command == Command::HarmonicModulus) {
        FUZZ_CHECK(s.TargetHarmonic >= 0 && s.TargetHarmonic <= s.SampleCount + 1, "z = %d",
                   s.TargetHarmonic);
        for (const char16_t separator : {u'.', u','}) {
            const HarmonicModulusTexts shown = FormatHarmonicModulus(s, separator);
            FUZZ_CHECK(Showable(shown.meanValue) && Showable(shown.magnitude), "labels");
        }
    } else {
        FUZZ_CHECK(s.Frequency != 0, "graphs with a zero frequency");
        FUZZ_CHECK(TryRoundToCount(s.PeriodCount).has_value(), "P = %g", s.PeriodCount);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    static AnalysisState state; // carried from input to input, as in a session of the program
    const Command command = input.Byte() % 2 ? Command::Graphs : Command::HarmonicModulus;
    FieldTexts texts;
    for (const Field field : HarmonicModulusFieldOrder)
        texts[field] = input.Text();

    const AnalysisState before = state;
    BoundedHost host;
    texts.Shape = static_cast<PulseShape>(input.Byte() % PulseShapes.size());
    const bool stored = RunCommand(state, texts, command, host);
    if (stored) {
        FUZZ_CHECK(host.box.shown.empty(), "a message after a stored analysis");
        FUZZ_CHECK(state.Shape == texts.Shape, "the shape chosen was not stored");
        CheckCommitted(state, command);
    } else {
        FUZZ_CHECK(SameAnalysis(state, before), "a stopped command changed the analysis");
        FUZZ_CHECK(host.box.shown.size() <= 1, "%zu messages", host.box.shown.size());
    }

    // The cursor readout over whatever analysis the state holds, at positions the mouse can
    // report (a held button carries it beyond the plot).
    if (!state.Samples.empty()) {
        FindSignalPeak(state);
        FindSpectrumPeak(state);
        for (int probe = 0; probe < 4; ++probe) {
            const float x = float(int(input.Byte()) - 64) * 1.7f;
            const float y = float(int(input.Byte()) - 64) * 1.3f;
            for (const auto &text :
                 {SignalReadout(state, x, y, u'.'), SpectrumReadout(state, x, y, u',')})
                if (text)
                    FUZZ_CHECK(Showable(*text), "readout at %g, %g", double(x), double(y));
        }
    }
    return 0;
}
