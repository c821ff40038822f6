// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The two commands from typed texts to stored analysis: order of the checks, the duty-cycle test,
// the refusals, and the state left untouched whenever a command stops.
#include "core/analysis/commands.h"
#include "core/spectrum/spectrum.h"
#include "core/spectrum/spectrum_paths.h"
#include "tests/support/available_memory.h"
#include "tests/support/case_names.h"
#include "tests/support/field_texts.h"
#include "tests/support/message_recorder.h"
#include "tests/support/same_analysis.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <optional>
#include <random>
#include <span>
#include <variant>

namespace {

class RecordingHost : public CommandHost
{
public:
    MessageBox &Messages() override { return box; }
    void Refuse(const Refusal &refusal) override
    {
        refusals.push_back(refusal);
        CommandHost::Refuse(refusal);
    }
    void MarkParameterFields() override { ++marks; }
    AnalysisOutcome Compute(AnalysisState &analysis) override
    {
        ++computations;
        return compute ? compute(analysis) : CommandHost::Compute(analysis);
    }

    MessageRecorder box;
    std::vector<Refusal> refusals;
    int marks = 0;
    int computations = 0;
    AvailableMemory memory {std::uint64_t(1) << 36};
    std::function<AnalysisOutcome(AnalysisState &)> compute;
};

// A state holding an earlier analysis with other parameters than the defaults.
AnalysisState EarlierAnalysis()
{
    AnalysisState state;
    RecordingHost host;
    FieldTexts texts = DefaultTexts();
    texts[Field::Text13] = u"500";
    texts[Field::Text3] = u"7";
    texts[Field::Text2] = u"3";
    EXPECT_TRUE(RunCommand(state, texts, Command::HarmonicModulus, host));
    FindSpectrumPeak(state);
    return state;
}

TEST(HarmonicModulusCommand, defaultFieldsShowTheDcComponentAndTheFirstHarmonic)
{
    AnalysisState state;
    RecordingHost host;
    ASSERT_TRUE(RunCommand(state, DefaultTexts(), Command::HarmonicModulus, host));
    const HarmonicModulusTexts shown = FormatHarmonicModulus(state, u'.');
    EXPECT_EQ(shown.meanValue, u"3.18E+00");
    EXPECT_EQ(shown.magnitude, u"5.00E+00");
    EXPECT_EQ(host.marks, 1);
    EXPECT_TRUE(host.box.shown.empty());
    EXPECT_EQ(state.Frequency, 100000);
    EXPECT_EQ(state.PeriodCount, 3);
    EXPECT_EQ(state.TargetHarmonic, 1);
    EXPECT_EQ(FormatHarmonicModulus(state, u',').meanValue, u"3,18E+00");
}

TEST(HarmonicModulusCommand, targetHarmonicIsRoundedHalvesToEven)
{
    const std::pair<std::u16string, std::u16string> cases[]
        = {{u"2", u"2.12E+00"}, {u"1.5", u"2.12E+00"}, {u"2.5", u"2.12E+00"},
           {u"0", u"0.00E+00"}, {u"11", u"0.00E+00"},  {u"10001", u"0.00E+00"}};
    for (const auto &[z, modulus] : cases) {
        AnalysisState state;
        RecordingHost host;
        FieldTexts texts = DefaultTexts();
        texts[Field::Text2] = z;
        ASSERT_TRUE(RunCommand(state, texts, Command::HarmonicModulus, host));
        EXPECT_EQ(FormatHarmonicModulus(state, u'.').magnitude, modulus);
    }
}

// A stop at a field's check shows that field's message; a later one shows a refusal's.
struct FieldStop
{
    Field field;
    bool empty; // the empty-field message, else the bad-character one
};

struct StopCase
{
    const char *name;
    Command command;
    std::function<void(FieldTexts &)> change;
    std::variant<FieldStop, Refusal> expected;
    bool marked; // the six parameter fields were turned green before the stop
};

void PrintTo(const StopCase &c, std::ostream *out)
{
    *out << c.name;
}

class Stops : public testing::TestWithParam<StopCase>
{
};

TEST_P(Stops, showOneMessageAndLeaveTheAnalysisAsItWas)
{
    const StopCase &c = GetParam();
    AnalysisState state = EarlierAnalysis();
    const AnalysisState before = state;
    RecordingHost host;
    FieldTexts texts = DefaultTexts();
    c.change(texts);
    EXPECT_FALSE(RunCommand(state, texts, c.command, host));
    if (const auto *stop = std::get_if<FieldStop>(&c.expected)) {
        const FieldMessages &messages = MessagesFor(stop->field);
        const std::u16string_view expected = stop->empty ? messages.missing : messages.invalid;
        EXPECT_EQ(host.box.shown, std::vector<std::u16string> {std::u16string(expected)});
        EXPECT_TRUE(host.refusals.empty());
    } else {
        const Refusal &refusal = std::get<Refusal>(c.expected);
        EXPECT_EQ(host.refusals, std::vector<Refusal> {refusal});
        EXPECT_EQ(host.box.shown, std::vector<std::u16string> {MessageText(refusal)});
    }
    EXPECT_EQ(host.marks, c.marked ? 1 : 0);
    EXPECT_TRUE(SameAnalysis(state, before));
}

const auto HM = Command::HarmonicModulus;
const auto GR = Command::Graphs;
const Refusal DutyCycle = {Reason::DutyCycleZeroOrAboveOne};

const StopCase StopCases[] = {
    {"emptyTarget", HM, [](FieldTexts &t) { t[Field::Text2].clear(); },
     FieldStop {Field::Text2, true}, false},
    {"firstFailingFieldWins", HM,
     [](FieldTexts &t) {
         t[Field::Text7].clear();
         t[Field::Text12] = u"1,5";
     },
     FieldStop {Field::Text7, true}, false},
    {"dutyCycleIsCheckedFirst", GR,
     [](FieldTexts &t) {
         for (Field f : HarmonicModulusFieldOrder)
             t[f] = u"x";
     },
     FieldStop {Field::Text1, false}, false},
    {"emptyPeriodsGraphs", GR, [](FieldTexts &t) { t[Field::Text8].clear(); },
     FieldStop {Field::Text8, true}, false},
    {"frequencyBadCharacter", GR, [](FieldTexts &t) { t[Field::Text12] = u"1,5"; },
     FieldStop {Field::Text12, false}, false},
    {"dutyAboveOne", HM, [](FieldTexts &t) { t[Field::Text1] = u"1.5"; }, DutyCycle, true},
    {"dutyZero", HM, [](FieldTexts &t) { t[Field::Text1] = u"0"; }, DutyCycle, true},
    {"dutyZeroPointZero", GR, [](FieldTexts &t) { t[Field::Text1] = u"0.0"; }, DutyCycle, false},
    {"dutyMinusZero", HM, [](FieldTexts &t) { t[Field::Text1] = u"-0"; }, DutyCycle, true},
    {"dutyJustAboveOne", GR, [](FieldTexts &t) { t[Field::Text1] = u"1.01"; }, DutyCycle, false},
    {"dutyNegative", HM, [](FieldTexts &t) { t[Field::Text1] = u"-0.5"; },
     Refusal {Reason::NegativeDutyCycle}, true},
    {"zeroSamples", HM, [](FieldTexts &t) { t[Field::Text13] = u"0"; },
     Refusal {Reason::SampleCountOutOfRange}, true},
    {"tooManyHarmonics", GR, [](FieldTexts &t) { t[Field::Text3] = u"10002"; },
     Refusal {Reason::TooManyHarmonics, {}, {10001}}, false},
    {"targetBeyondNPlusOne", HM, [](FieldTexts &t) { t[Field::Text2] = u"10002"; },
     Refusal {Reason::TargetHarmonicOutOfRange, {}, {10001}}, true},
    {"amplitudeBeyondDoubles", HM, [](FieldTexts &t) { t[Field::Text7] = u"1e400"; },
     Refusal {Reason::ValueBeyondDoubles, Field::Text7}, true},
    {"frequencyTimesThousandOverflows", GR, [](FieldTexts &t) { t[Field::Text12] = u"1e306"; },
     Refusal {Reason::FrequencyTimesThousandBeyondDoubles}, false},
    {"zeroFrequencyGraphs", GR, [](FieldTexts &t) { t[Field::Text12] = u"0"; },
     Refusal {Reason::ZeroFrequency}, false},
    {"sumsOverflow", HM, [](FieldTexts &t) { t[Field::Text7] = u"1E308"; },
     Refusal {Reason::ResultsTooLarge}, true},
    {"modulusOverflowsOnTheTransformPath", GR,
     [](FieldTexts &t) {
         t[Field::Text7] = u"1E200"; // samples in range, every squared coefficient not
         t[Field::Text3] = u"10001";
     },
     Refusal {Reason::ResultsTooLarge}, false},
    {"tooLongField", HM, [](FieldTexts &t) { t[Field::Text8] = std::u16string(40000, u'1'); },
     FieldStop {Field::Text8, false}, false},
};

INSTANTIATE_TEST_SUITE_P(Commands, Stops, testing::ValuesIn(StopCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Of two neighbouring fields in a command's order that both fail, the earlier one's message is
// shown, whichever way each fails.
TEST(Commands, eachFieldIsCheckedBeforeTheNextInTheCommandsOrder)
{
    for (const Command command : {HM, GR}) {
        const std::span<const Field> order
            = command == HM ? std::span<const Field>(HarmonicModulusFieldOrder) : GraphsFieldOrder;
        for (std::size_t i = 0; i + 1 < order.size(); ++i) {
            for (const bool empty : {true, false}) {
                AnalysisState state;
                RecordingHost host;
                FieldTexts texts = DefaultTexts();
                texts[order[i]] = empty ? u"" : u"1 5";
                texts[order[i + 1]] = empty ? u"1 5" : u"";
                EXPECT_FALSE(RunCommand(state, texts, command, host));
                const FieldMessages &messages = MessagesFor(order[i]);
                EXPECT_EQ(host.box.shown,
                          std::vector<std::u16string> {
                              std::u16string(empty ? messages.missing : messages.invalid)})
                    << FieldName(order[i]) << " before " << FieldName(order[i + 1]);
            }
        }
    }
}

// The harmonic modulus command on the window's defaults with the duty cycle typed as `duty`.
bool RunWithDutyCycle(AnalysisState &state, RecordingHost &host, std::u16string duty)
{
    FieldTexts texts = DefaultTexts();
    texts[Field::Text1] = std::move(duty);
    return RunCommand(state, texts, Command::HarmonicModulus, host);
}

TEST(HarmonicModulusCommand, dutyCycleRefusalLeavesItsMessageInTheState)
{
    AnalysisState state;
    RecordingHost host;
    EXPECT_FALSE(RunWithDutyCycle(state, host, u"2"));
    EXPECT_EQ(state.MissingMessage, MessageText(DutyCycle));
    EXPECT_EQ(state.EntryError, 0);
    EXPECT_EQ(host.computations, 0);
}

TEST(HarmonicModulusCommand, fullDutyCycleComputesAWholeHalfSinePeriod)
{
    AnalysisState state;
    RecordingHost host;
    ASSERT_TRUE(RunWithDutyCycle(state, host, u"1"));
    EXPECT_NEAR(state.MeanValue, 20 / std::numbers::pi, 1e-6); // 2 V / pi
    EXPECT_EQ(state.Samples[10000], 0);
}

// Parameter sets for both commands: the initial texts with z = 0 to 11, then seeded random ones
// (N from 1 to 20000, D in (0, 1], V signed from 1e-300 to 1e150, H and z from 0 to N + 1, H
// fractional at times), each with N (H + 1) under 2e6 so that the literal loops take
// milliseconds.
struct ShownCase
{
    std::string name;
    FieldTexts texts;
};

void PrintTo(const ShownCase &c, std::ostream *out)
{
    const char *names[] = {"D", "V", "f", "N", "H", "P", "z"};
    for (const Field field : HarmonicModulusFieldOrder)
        *out << names[static_cast<int>(field)] << " = " << Utf8(c.texts[field]) << " ";
}

std::u16string Text(double value)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return {buffer, end};
}

std::vector<ShownCase> ShownCases()
{
    std::vector<ShownCase> cases;
    for (int z = 0; z <= 11; ++z) {
        FieldTexts texts = DefaultTexts();
        texts[Field::Text2] = Text(z);
        cases.push_back({"initialTextsWithZ" + std::to_string(z), texts});
    }
    // Spectra whose largest modulus is not harmonic 1's and whose vector sums differ there, on
    // at least one vector unit: N D V H.
    const std::array<std::array<double, 4>, 8> elsewhere = {{{33, 0.079775424096381248, 1, 34},
                                                             {8, 0.12862779617967449, 1, 9},
                                                             {8, 0.13365731263075201, 1, 9},
                                                             {215, 0.012696822406366031, 1, 216},
                                                             {13, 0.094989215467555552, 1, 14},
                                                             {13, 0.21122930638478729, 1, 14},
                                                             {172, 0.008020203004228954, 1, 173},
                                                             {7, 0.23938528325845554, 1, 8}}};
    for (const auto &[n, d, v, h] : elsewhere) {
        FieldTexts texts = DefaultTexts();
        texts[Field::Text13] = Text(n);
        texts[Field::Text1] = Text(d);
        texts[Field::Text7] = Text(v);
        texts[Field::Text3] = Text(h);
        texts[Field::Text2] = Text(h);
        cases.push_back({"largestModulusElsewhere" + std::to_string(cases.size() - 11), texts});
    }
    std::mt19937_64 random(20261207);
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    for (int i = 0; i < 300; ++i) {
        const double n = std::round(std::exp(uniform(0, std::log(20000.0))));
        const double largestH = std::min(n + 1, std::floor(2e6 / n) - 1);
        double h = std::floor(std::exp(uniform(0, std::log(largestH + 2))) - 1);
        if (i % 3 == 0)
            h = std::min(largestH + 0.4, h + (i % 2 ? 0.5 : uniform(0, 1)));
        const double d = i % 20 == 0 ? 1.0 : i % 20 == 1 ? uniform(1e-6, 1e-3) : uniform(1e-9, 1);
        const double v = (i % 2 ? -1 : 1) * std::pow(10.0, uniform(-300, 150));
        const double z = std::floor(uniform(0, n + 2));
        FieldTexts texts = DefaultTexts();
        texts[Field::Text13] = Text(n);
        texts[Field::Text3] = Text(h);
        texts[Field::Text1] = Text(d);
        texts[Field::Text7] = Text(v);
        texts[Field::Text2] = Text(z);
        cases.push_back({"random" + std::to_string(i), texts});
    }
    return cases;
}

class ShownNumbers : public testing::TestWithParam<ShownCase>
{
};

// Whichever path sums the bulk of the harmonics (the program's choice, or the transform forced),
// the DC component, the modulus of harmonic z, both peaks (hence the plot's scales and the
// readout) and the two result texts are what the literal loops give, to the bit, after either
// command.
TEST_P(ShownNumbers, areTheLiteralLoopsToTheBit)
{
    std::optional<AnalysisState> literal;
    for (const SpectrumPath path : {SpectrumPath::Cheaper, SpectrumPath::Transform})
        for (const Command command : {Command::HarmonicModulus, Command::Graphs}) {
            SCOPED_TRACE(path == SpectrumPath::Cheaper ? "cheaper path" : "transform path");
            AnalysisState state;
            RecordingHost host;
            SpectrumOptions options;
            options.threads = 2;
            options.path = path;
            host.compute = [&](AnalysisState &analysis) { return RunAnalysis(analysis, options); };
            ASSERT_TRUE(RunCommand(state, GetParam().texts, command, host))
                << (host.box.shown.empty() ? "" : Utf8(host.box.shown[0]));
            if (!literal) {
                literal.emplace();
                literal->Parameters() = state.Parameters();
                ComputeSpectrum(*literal);
                FindSpectrumPeak(*literal);
            }
            literal->TargetHarmonic = state.TargetHarmonic;

            const auto bits = [](double value) { return std::bit_cast<std::uint64_t>(value); };
            EXPECT_EQ(bits(state.MeanValue), bits(literal->MeanValue));
            EXPECT_EQ(bits(state.SignalPeak), bits(literal->SignalPeak));
            ASSERT_TRUE(state.PeaksFound);
            RecallSpectrumPeak(state); // as the readout does
            EXPECT_EQ(bits(state.SpectrumPeak), bits(literal->SpectrumPeak));
            FindSpectrumPeak(state); // as the drawing does
            EXPECT_EQ(bits(state.SpectrumPeak), bits(literal->SpectrumPeak));
            if (command == Command::HarmonicModulus) {
                const std::int32_t z = state.TargetHarmonic;
                EXPECT_EQ(bits(state.Magnitudes[z]), bits(literal->Magnitudes[z])) << "z = " << z;
                const HarmonicModulusTexts shown = FormatHarmonicModulus(state, u'.');
                const HarmonicModulusTexts expected = FormatHarmonicModulus(*literal, u'.');
                EXPECT_EQ(shown.meanValue, expected.meanValue);
                EXPECT_EQ(shown.magnitude, expected.magnitude);
            }
        }
}

INSTANTIATE_TEST_SUITE_P(BothCommands, ShownNumbers, testing::ValuesIn(ShownCases()),
                         [](const auto &info) { return info.param.name; });

TEST(GraphsCommand, ignoresTheHarmonicFieldAndTheColours)
{
    AnalysisState state = EarlierAnalysis();
    RecordingHost host;
    FieldTexts texts = DefaultTexts();
    texts[Field::Text2] = u"not a number";
    ASSERT_TRUE(RunCommand(state, texts, Command::Graphs, host));
    EXPECT_EQ(host.marks, 0);
    EXPECT_TRUE(host.box.shown.empty());
    EXPECT_EQ(state.TargetHarmonic, 3); // from the earlier analysis
    EXPECT_EQ(state.SampleCount, 10000);
    EXPECT_EQ(state.Samples.size(), 10002u);
}

TEST(Commands, aCancelledComputationChangesNothingAndSaysNothing)
{
    AnalysisState state = EarlierAnalysis();
    const AnalysisState before = state;
    RecordingHost host;
    host.compute = [](AnalysisState &) {
        return AnalysisOutcome {AnalysisOutcome::Status::Cancelled, {}, {}};
    };
    EXPECT_FALSE(RunCommand(state, DefaultTexts(), Command::Graphs, host));
    EXPECT_TRUE(host.box.shown.empty());
    EXPECT_TRUE(SameAnalysis(state, before));
}

TEST(Commands, aFailedComputationShowsItsMessageAndChangesNothing)
{
    AnalysisState state = EarlierAnalysis();
    const AnalysisState before = state;
    RecordingHost host;
    host.compute = [](AnalysisState &analysis) {
        analysis.Samples.assign(3, 1.0); // a partly written workspace must not leak out
        return AnalysisOutcome {
            AnalysisOutcome::Status::Failed, Refusal {Reason::AllocationFailed}, {}};
    };
    EXPECT_FALSE(RunCommand(state, DefaultTexts(), Command::HarmonicModulus, host));
    EXPECT_EQ(host.refusals, std::vector<Refusal> {{Reason::AllocationFailed}});
    EXPECT_TRUE(SameAnalysis(state, before));
}

TEST(Commands, tooLittleMemoryIsRefusedBeforeComputing)
{
    AnalysisState state = EarlierAnalysis();
    const AnalysisState before = state;
    RecordingHost host;
    host.memory.Set(1000);
    EXPECT_FALSE(RunCommand(state, DefaultTexts(), Command::Graphs, host));
    EXPECT_EQ(host.computations, 0);
    ASSERT_EQ(host.refusals.size(), 1u);
    EXPECT_EQ(host.refusals[0].reason, Reason::NotEnoughMemory);
    EXPECT_TRUE(SameAnalysis(state, before));
}

TEST(CheckResults, refusesResultsTooLargeToDraw)
{
    AnalysisState analysis;
    analysis.HarmonicCount = 1;
    analysis.Samples = {0, 1e301, 0};
    EXPECT_EQ(CheckResults(analysis).status, AnalysisOutcome::Status::Failed);
    analysis.Samples = {0, 1e300, 0};
    EXPECT_EQ(CheckResults(analysis).status, AnalysisOutcome::Status::Done);
    analysis.Magnitudes = {0, std::numeric_limits<double>::quiet_NaN()};
    EXPECT_EQ(CheckResults(analysis).status, AnalysisOutcome::Status::Failed);
    analysis.Magnitudes = {};
    for (const std::size_t at : {std::size_t(4095), std::size_t(4096), std::size_t(10000)}) {
        analysis.Samples.assign(10001, 0);
        analysis.Samples[at] = -std::numeric_limits<double>::infinity();
        EXPECT_EQ(CheckResults(analysis).status, AnalysisOutcome::Status::Failed) << at;
    }
}

} // namespace

// Whether results are out of date: the same value however it is written, a text that differs only
// where it cannot be read, the shape, and z for the harmonic's modulus alone.
TEST(SameTypedValues, tellTheValuesTheResultsWereComputedFrom)
{
    const struct
    {
        const char *name;
        std::function<void(FieldTexts &)> change;
        bool sameParameters;
        bool sameWithZ;
    } cases[] = {
        {"nothing typed", [](FieldTexts &) {}, true, true},
        {"the same value written otherwise", [](FieldTexts &t) { t[Field::Text1] = u"0.50"; }, true,
         true},
        {"with an exponent", [](FieldTexts &t) { t[Field::Text13] = u"1E4"; }, true, true},
        {"another duty cycle", [](FieldTexts &t) { t[Field::Text1] = u"0.25"; }, false, false},
        {"a letter where a number was", [](FieldTexts &t) { t[Field::Text7] = u"1O"; }, false,
         false},
        {"an empty field", [](FieldTexts &t) { t[Field::Text8] = u""; }, false, false},
        {"another shape", [](FieldTexts &t) { t.Shape = PulseShape::Rectangular; }, false, false},
        {"another harmonic", [](FieldTexts &t) { t[Field::Text2] = u"2"; }, true, false},
        {"z emptied", [](FieldTexts &t) { t[Field::Text2] = u""; }, true, false},
    };
    FieldTexts then = DefaultTexts();
    for (const auto &c : cases) {
        FieldTexts now = then;
        c.change(now);
        EXPECT_EQ(SameTypedValues(then, now, GraphsFieldOrder), c.sameParameters) << c.name;
        EXPECT_EQ(SameTypedValues(then, now, HarmonicModulusFieldOrder), c.sameWithZ) << c.name;
    }
}
