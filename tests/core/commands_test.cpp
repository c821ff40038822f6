// The two commands from typed texts to stored analysis: order of the checks, the duty-cycle test,
// the refusals, and the state left untouched whenever a command stops.
#include "core/commands.h"
#include "core/spectrum.h"
#include "tests/support/message_recorder.h"
#include "tests/support/same_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

class RecordingHost : public CommandHost
{
public:
    MessageBox &Messages() override { return box; }
    void MarkParameterFields() override { ++marks; }
    std::uint64_t AvailableMemory() override { return memory; }
    AnalysisOutcome Compute(AnalysisState &analysis) override
    {
        ++computations;
        return compute ? compute(analysis) : CommandHost::Compute(analysis);
    }

    MessageRecorder box;
    int marks = 0;
    int computations = 0;
    std::uint64_t memory = std::uint64_t(1) << 36;
    std::function<AnalysisOutcome(AnalysisState &)> compute;
};

FieldTexts DefaultTexts()
{
    FieldTexts t;
    t[Field::Text1] = u"0.5";
    t[Field::Text7] = u"10";
    t[Field::Text12] = u"100";
    t[Field::Text13] = u"10000";
    t[Field::Text3] = u"10";
    t[Field::Text8] = u"3";
    t[Field::Text2] = u"1";
    return t;
}

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

struct StopCase
{
    const char *name;
    Command command;
    std::function<void(FieldTexts &)> change;
    std::u16string message; // exact, or a part of it when `exact` is false
    bool exact;
    bool marked; // the six parameter fields were turned green before the stop
};

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
    ASSERT_EQ(host.box.shown.size(), 1u);
    if (c.exact)
        EXPECT_EQ(host.box.shown[0], c.message);
    else
        EXPECT_NE(host.box.shown[0].find(c.message), std::u16string::npos);
    EXPECT_EQ(host.marks, c.marked ? 1 : 0);
    EXPECT_TRUE(SameAnalysis(state, before));
}

const auto HM = Command::HarmonicModulus;
const auto GR = Command::Graphs;

INSTANTIATE_TEST_SUITE_P(
    Commands, Stops,
    testing::Values(
        StopCase {
            "emptyTarget", HM, [](FieldTexts &t) { t[Field::Text2].clear(); },
            u"Hai dimenticato di scrivere il numero della armonica di cui si vuole calcolare il "
            u"modulo",
            true, false},
        StopCase {"firstFailingFieldWins", HM,
                  [](FieldTexts &t) {
                      t[Field::Text7].clear();
                      t[Field::Text12] = u"1,5";
                  },
                  u"Hai dimenticato di scrivere l'ampiezza dell'impulso Vmax", true, false},
        StopCase {
            "dutyCycleIsCheckedFirst", GR,
            [](FieldTexts &t) {
                for (Field f : HarmonicModulusFieldOrder)
                    t[f] = u"x";
            },
            u"Errore di inserimento dati per il Duty Cycle dell'impulso. Puoi scrivere soltanto "
            u"numeri razionali con il punto come separatore decimale, anche in forma "
            u"esponenziale. Ad es: 1.23 , 1E-5 , 5E3",
            true, false},
        StopCase {"emptyPeriodsGraphs", GR, [](FieldTexts &t) { t[Field::Text8].clear(); },
                  u"Hai dimenticato di scrivere il numero di periodi di s(t) visualizzati", true,
                  false},
        StopCase {"frequencyBadCharacter", GR, [](FieldTexts &t) { t[Field::Text12] = u"1,5"; },
                  u"Errore di inserimento dati per la frequenza del segnale f . Puoi", false,
                  false},
        StopCase {"dutyAboveOne", HM, [](FieldTexts &t) { t[Field::Text1] = u"1.5"; },
                  std::u16string(DutyCycleMessage), true, true},
        StopCase {"dutyZero", HM, [](FieldTexts &t) { t[Field::Text1] = u"0"; },
                  std::u16string(DutyCycleMessage), true, true},
        StopCase {"dutyZeroPointZero", GR, [](FieldTexts &t) { t[Field::Text1] = u"0.0"; },
                  std::u16string(DutyCycleMessage), true, false},
        StopCase {"dutyMinusZero", HM, [](FieldTexts &t) { t[Field::Text1] = u"-0"; },
                  std::u16string(DutyCycleMessage), true, true},
        StopCase {"dutyJustAboveOne", GR, [](FieldTexts &t) { t[Field::Text1] = u"1.01"; },
                  std::u16string(DutyCycleMessage), true, false},
        StopCase {"dutyNegative", HM, [](FieldTexts &t) { t[Field::Text1] = u"-0.5"; },
                  u"Il Duty cycle non può essere negativo", true, true},
        StopCase {"zeroSamples", HM, [](FieldTexts &t) { t[Field::Text13] = u"0"; },
                  u"Il numero di campioni deve essere", false, true},
        StopCase {"tooManyHarmonics", GR, [](FieldTexts &t) { t[Field::Text3] = u"10002"; },
                  u"armoniche", false, false},
        StopCase {"targetBeyondNPlusOne", HM, [](FieldTexts &t) { t[Field::Text2] = u"10002"; },
                  u"compreso tra 0 e 10001", false, true},
        StopCase {"amplitudeBeyondDoubles", HM, [](FieldTexts &t) { t[Field::Text7] = u"1e400"; },
                  u"Vmax", false, true},
        StopCase {"frequencyTimesThousandOverflows", GR,
                  [](FieldTexts &t) { t[Field::Text12] = u"1e306"; }, u"moltiplicata per 1000",
                  false, false},
        StopCase {"zeroFrequencyGraphs", GR, [](FieldTexts &t) { t[Field::Text12] = u"0"; },
                  u"La frequenza del segnale f non può essere zero.", true, false},
        StopCase {"sumsOverflow", HM, [](FieldTexts &t) { t[Field::Text7] = u"1E308"; },
                  u"troppo grandi", false, true},
        StopCase {"tooLongField", HM,
                  [](FieldTexts &t) { t[Field::Text8] = std::u16string(40000, u'1'); },
                  u"Errore di inserimento dati per il numero di periodi di s(t) visualizzati.",
                  false, false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(HarmonicModulusCommand, dutyCycleRefusalLeavesItsMessageInTheState)
{
    AnalysisState state;
    RecordingHost host;
    FieldTexts texts = DefaultTexts();
    texts[Field::Text1] = u"2";
    EXPECT_FALSE(RunCommand(state, texts, Command::HarmonicModulus, host));
    EXPECT_EQ(state.MissingMessage, DutyCycleMessage);
    EXPECT_EQ(state.EntryError, 0);
    EXPECT_EQ(host.computations, 0);
}

TEST(HarmonicModulusCommand, fullDutyCycleComputesAWholeHalfSinePeriod)
{
    AnalysisState state;
    RecordingHost host;
    FieldTexts texts = DefaultTexts();
    texts[Field::Text1] = u"1";
    ASSERT_TRUE(RunCommand(state, texts, Command::HarmonicModulus, host));
    EXPECT_NEAR(state.MeanValue, 20 / 3.141592653589793, 1e-6); // 2 V / pi
    EXPECT_EQ(state.Samples[10000], 0);
}

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
        return AnalysisOutcome {AnalysisOutcome::Status::Cancelled, {}};
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
        return AnalysisOutcome {AnalysisOutcome::Status::Failed, OutOfMemoryMessage()};
    };
    EXPECT_FALSE(RunCommand(state, DefaultTexts(), Command::HarmonicModulus, host));
    EXPECT_EQ(host.box.shown, std::vector<std::u16string> {OutOfMemoryMessage()});
    EXPECT_TRUE(SameAnalysis(state, before));
}

TEST(Commands, tooLittleMemoryIsRefusedBeforeComputing)
{
    AnalysisState state = EarlierAnalysis();
    const AnalysisState before = state;
    RecordingHost host;
    host.memory = 1000;
    EXPECT_FALSE(RunCommand(state, DefaultTexts(), Command::Graphs, host));
    EXPECT_EQ(host.computations, 0);
    ASSERT_EQ(host.box.shown.size(), 1u);
    EXPECT_EQ(host.box.shown[0].rfind(u"Memoria insufficiente", 0), 0u);
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
}

} // namespace
