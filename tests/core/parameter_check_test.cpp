// The refusals of parameters the computation, the plot or the readout cannot handle.
#include "core/parameter_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

constexpr std::uint64_t Plenty = std::uint64_t(1) << 40;

TypedValues Defaults()
{
    TypedValues v;
    v.DutyCycle = 0.5;
    v.Amplitude = 10;
    v.FrequencyKHz = 100;
    v.Frequency = 100000;
    v.SampleCount = 10000;
    v.HarmonicCount = 10;
    v.PeriodCount = 3;
    v.TargetHarmonic = 1;
    return v;
}

struct RefusalCase
{
    const char *name;
    std::function<void(TypedValues &)> change;
    Command command;
    std::u16string expected; // a part of the message; empty when the values are accepted
    std::uint64_t memory = Plenty;
};

class Refusals : public testing::TestWithParam<RefusalCase>
{
};

TEST_P(Refusals, giveTheFirstProblemsMessageOrAcceptTheValues)
{
    const RefusalCase &c = GetParam();
    TypedValues values = Defaults();
    c.change(values);
    const auto result = CheckParameters(values, c.command, c.memory);
    if (c.expected.empty()) {
        ASSERT_TRUE(std::holds_alternative<AnalysisParameters>(result));
    } else {
        ASSERT_TRUE(std::holds_alternative<std::u16string>(result));
        const std::u16string &message = std::get<std::u16string>(result);
        EXPECT_NE(message.find(c.expected), std::u16string::npos)
            << std::string(message.begin(), message.end());
    }
}

constexpr double Inf = HUGE_VAL;
const auto HM = Command::HarmonicModulus;
const auto GR = Command::Graphs;

INSTANTIATE_TEST_SUITE_P(
    Values, Refusals,
    testing::Values(
        RefusalCase {"defaults", [](TypedValues &) {}, HM, u""},
        RefusalCase {"defaultsGraphs", [](TypedValues &) {}, GR, u""},
        RefusalCase {"negativeDuty", [](TypedValues &v) { v.DutyCycle = -0.5; }, HM,
                     u"Il Duty cycle non può essere negativo"},
        RefusalCase {"tinyNegativeDuty", [](TypedValues &v) { v.DutyCycle = -1e-300; }, GR,
                     u"Il Duty cycle non può essere negativo"},
        RefusalCase {"negativeDutyBeforeRange",
                     [](TypedValues &v) {
                         v.DutyCycle = -1;
                         v.Amplitude = Inf;
                     },
                     HM, u"negativo"},
        RefusalCase {"amplitudeRange", [](TypedValues &v) { v.Amplitude = -Inf; }, HM,
                     u"l'ampiezza dell'impulso Vmax è troppo grande"},
        RefusalCase {"frequencyRange",
                     [](TypedValues &v) {
                         v.FrequencyKHz = Inf;
                         v.Frequency = Inf;
                     },
                     GR, u"la frequenza del segnale f è troppo grande"},
        RefusalCase {"frequencyTimes1000",
                     [](TypedValues &v) {
                         v.FrequencyKHz = 1e306;
                         v.Frequency = Inf;
                     },
                     HM, u"moltiplicata per 1000"},
        RefusalCase {"harmonicsRange", [](TypedValues &v) { v.HarmonicCount = Inf; }, HM,
                     u"il numero delle armoniche dello spettro visualizzate è troppo grande"},
        RefusalCase {"samplesRange", [](TypedValues &v) { v.SampleCount = Inf; }, HM,
                     u"il numero di campioni è troppo grande"},
        RefusalCase {"periodsRange", [](TypedValues &v) { v.PeriodCount = Inf; }, HM,
                     u"il numero di periodi di s(t) visualizzati è troppo grande"},
        RefusalCase {"targetRange", [](TypedValues &v) { v.TargetHarmonic = Inf; }, HM,
                     u"il numero della armonica di cui si vuole calcolare il modulo è troppo"},
        RefusalCase {"targetIgnoredByGraphs", [](TypedValues &v) { v.TargetHarmonic = Inf; }, GR,
                     u""},
        RefusalCase {"amplitudeBeforeSamples",
                     [](TypedValues &v) {
                         v.Amplitude = Inf;
                         v.SampleCount = 0;
                     },
                     HM, u"Vmax"},
        RefusalCase {"zeroSamples", [](TypedValues &v) { v.SampleCount = 0; }, HM,
                     u"compreso tra 1 e 2147483646"},
        RefusalCase {"samplesRoundToZero", [](TypedValues &v) { v.SampleCount = 0.5; }, GR,
                     u"compreso tra 1 e 2147483646"},
        RefusalCase {"negativeSamples", [](TypedValues &v) { v.SampleCount = -5; }, HM,
                     u"compreso tra 1 e 2147483646"},
        RefusalCase {"samplesAboveCountRange", [](TypedValues &v) { v.SampleCount = 2147483646.6; },
                     HM, u"compreso tra 1 e 2147483646"},
        RefusalCase {"samplesBeyond32Bits", [](TypedValues &v) { v.SampleCount = 1e12; }, HM,
                     u"compreso tra 1 e 2147483646"},
        RefusalCase {"largestSampleCount",
                     [](TypedValues &v) {
                         v.SampleCount = 2147483646;
                         v.TargetHarmonic = 2147483647;
                     },
                     HM, u""},
        RefusalCase {"oneSample",
                     [](TypedValues &v) {
                         v.SampleCount = 1.4;
                         v.HarmonicCount = 2;
                     },
                     GR, u""},
        RefusalCase {"harmonicsAboveNPlusOne", [](TypedValues &v) { v.HarmonicCount = 10002; }, HM,
                     u"al massimo 10001 (il numero di campioni più uno)"},
        RefusalCase {"harmonicsNPlusOne", [](TypedValues &v) { v.HarmonicCount = 10001; }, HM, u""},
        RefusalCase {"harmonicsHalfRoundsUp", [](TypedValues &v) { v.HarmonicCount = 10001.5; }, GR,
                     u"al massimo 10001"},
        RefusalCase {"harmonicsHalfRoundsDown", [](TypedValues &v) { v.HarmonicCount = 10000.5; },
                     GR, u""},
        RefusalCase {"noHarmonics", [](TypedValues &v) { v.HarmonicCount = -3; }, GR, u""},
        RefusalCase {"harmonicsBelow32Bits", [](TypedValues &v) { v.HarmonicCount = -1e10; }, GR,
                     u"armoniche dello spettro visualizzate è fuori dall'intervallo consentito"},
        RefusalCase {"periodsFarBelowZero", [](TypedValues &v) { v.PeriodCount = -1e10; }, GR,
                     u"in valore assoluto"},
        RefusalCase {"harmonicsDoubledOverflow",
                     [](TypedValues &v) {
                         v.SampleCount = 2e9;
                         v.HarmonicCount = 1073741824;
                     },
                     GR, u"al massimo 1073741823."},
        RefusalCase {"targetNegative", [](TypedValues &v) { v.TargetHarmonic = -1; }, HM,
                     u"compreso tra 0 e 10001"},
        RefusalCase {"targetAboveNPlusOne", [](TypedValues &v) { v.TargetHarmonic = 10002; }, HM,
                     u"compreso tra 0 e 10001"},
        RefusalCase {"targetNPlusOne", [](TypedValues &v) { v.TargetHarmonic = 10001; }, HM, u""},
        RefusalCase {"targetZero", [](TypedValues &v) { v.TargetHarmonic = -0.5; }, HM, u""},
        RefusalCase {"targetOutsideIgnoredByGraphs", [](TypedValues &v) { v.TargetHarmonic = -7; },
                     GR, u""},
        RefusalCase {"zeroFrequencyGraphs",
                     [](TypedValues &v) { v.FrequencyKHz = v.Frequency = 0; }, GR,
                     u"La frequenza del segnale f non può essere zero."},
        RefusalCase {"zeroFrequencyHarmonicModulus",
                     [](TypedValues &v) { v.FrequencyKHz = v.Frequency = 0; }, HM, u""},
        RefusalCase {
            "periodsBeyond32BitsGraphs", [](TypedValues &v) { v.PeriodCount = 3e9; }, GR,
            u"Il numero di periodi di s(t) visualizzati è troppo grande in valore assoluto"},
        RefusalCase {"periodsBeyond32BitsHarmonicModulus",
                     [](TypedValues &v) { v.PeriodCount = 3e9; }, HM, u""},
        RefusalCase {"memory", [](TypedValues &) {}, HM,
                     u"Memoria insufficiente: per 10000 campioni", 320063},
        RefusalCase {"memoryJustEnough", [](TypedValues &) {}, HM, u"", 320064 * 10 / 9 + 10}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CheckParameters, storesTheValuesAsTheyWillBeUsed)
{
    TypedValues values = Defaults();
    values.SampleCount = 9999.5; // rounds to the even 10000
    values.TargetHarmonic = 2.5; // rounds to 2
    values.PeriodCount = 2.5; // kept as typed
    const auto result = CheckParameters(values, Command::HarmonicModulus, Plenty);
    ASSERT_TRUE(std::holds_alternative<AnalysisParameters>(result));
    const auto &p = std::get<AnalysisParameters>(result);
    EXPECT_EQ(p.SampleCount, 10000);
    EXPECT_EQ(p.TargetHarmonic, 2);
    EXPECT_EQ(p.PeriodCount, 2.5);
    EXPECT_EQ(p.Frequency, 100000);
    EXPECT_EQ(p.HarmonicCount, 10);
    EXPECT_EQ(p.Amplitude, 10);
    EXPECT_EQ(p.DutyCycle, 0.5);
}

TEST(DutyCycleRefused, refusesZeroAndAboveOneOnly)
{
    for (double d : {0.0, -0.0, 1.5, 1.0000001, HUGE_VAL})
        EXPECT_TRUE(DutyCycleRefused(d)) << d;
    for (double d : {1.0, 0.5, 1e-300, -0.5, -HUGE_VAL})
        EXPECT_FALSE(DutyCycleRefused(d)) << d;
}

} // namespace
