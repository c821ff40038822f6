// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The refusals of parameters the computation, the plot or the readout cannot handle, and of the
// sum of the harmonics for want of memory: their reasons, their order, and the exact texts of the
// one message table, which the README repeats; the export's messages and the windows' texts of the
// same table.
#include "core/analysis/field_step.h"
#include "core/analysis/filter_check.h"
#include "core/analysis/parameter_check.h"
#include "core/platform/system_memory.h"
#include "core/spectrum/harmonic_sum.h"
#include "core/texts/messages.h"
#include "tests/support/available_memory.h"
#include "tests/support/case_names.h"
#include "tests/support/field_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

namespace {

constexpr std::uint64_t Plenty = std::uint64_t(1) << 40;

TypedValues Defaults()
{
    TypedValues v;
    v.DutyCycle = 0.5;
    v.Amplitude = 10;
    v.FrequencyKHz = 100;
    v.FrequencyHz = 100000;
    v.SampleCount = 10000;
    v.HarmonicCount = 10;
    v.PeriodCount = 3;
    v.TargetHarmonic = 1;
    return v;
}

// Which check the case asks: the analysis's (CheckParameters) or, for its memory alone, the sum
// of the harmonics' (HarmonicSumMemoryProblem), each as the program asks it.
enum class Asked
{
    Analysis,
    HarmonicSum
};

struct RefusalCase
{
    const char *name;
    std::function<void(TypedValues &)> change;
    Command command;
    std::optional<Refusal> expected; // nothing when the values are accepted
    std::uint64_t memory = Plenty; // what the one query of the free memory answers
    Asked asked = Asked::Analysis;
};

void PrintTo(const RefusalCase &c, std::ostream *out)
{
    *out << c.name;
}

class Refusals : public testing::TestWithParam<RefusalCase>
{
};

TEST_P(Refusals, giveTheFirstProblemsMessageOrAcceptTheValues)
{
    const RefusalCase &c = GetParam();
    TypedValues values = Defaults();
    c.change(values);
    const AvailableMemory memory(c.memory);
    if (c.asked == Asked::HarmonicSum) {
        const std::optional<Refusal> refusal = HarmonicSumMemoryProblem(
            static_cast<std::int64_t>(values.SampleCount), AvailableMemoryBytes());
        ASSERT_EQ(refusal.has_value(), c.expected.has_value());
        if (refusal) {
            EXPECT_EQ(refusal->reason, c.expected->reason);
            EXPECT_EQ(refusal->numbers, c.expected->numbers);
        }
        return;
    }
    const auto result = CheckParameters(values, c.command, AvailableMemoryBytes());
    if (!c.expected) {
        ASSERT_TRUE(std::holds_alternative<AnalysisParameters>(result));
    } else {
        ASSERT_TRUE(std::holds_alternative<Refusal>(result));
        const Refusal &refusal = std::get<Refusal>(result);
        EXPECT_EQ(refusal.reason, c.expected->reason);
        if (c.expected->reason == Reason::ValueBeyondDoubles) {
            EXPECT_EQ(refusal.field, c.expected->field);
        }
        EXPECT_EQ(refusal.numbers, c.expected->numbers);
    }
}

constexpr double Inf = HUGE_VAL;
constexpr std::nullopt_t Nothing = std::nullopt;
const auto HM = Command::HarmonicModulus;
const auto GR = Command::Graphs;

// Each problem alone and next to its neighbours is in ProblemsInOrder below; these are the
// boundaries and the cases that pass.
const RefusalCase RefusalCases[] = {
    RefusalCase {"defaults", [](TypedValues &) {}, HM, Nothing},
    RefusalCase {"defaultsGraphs", [](TypedValues &) {}, GR, Nothing},
    RefusalCase {"tinyNegativeDuty", [](TypedValues &v) { v.DutyCycle = -1e-300; }, GR,
                 Refusal {Reason::NegativeDutyCycle}},
    RefusalCase {"amplitudeRange", [](TypedValues &v) { v.Amplitude = -Inf; }, HM,
                 Refusal {Reason::ValueBeyondDoubles, Field::Text7}},
    RefusalCase {"targetIgnoredByGraphs", [](TypedValues &v) { v.TargetHarmonic = Inf; }, GR,
                 Nothing},
    RefusalCase {"amplitudeBeforeSamples",
                 [](TypedValues &v) {
                     v.Amplitude = Inf;
                     v.SampleCount = 0;
                 },
                 HM, Refusal {Reason::ValueBeyondDoubles, Field::Text7}},
    RefusalCase {"samplesRoundToZero", [](TypedValues &v) { v.SampleCount = 0.5; }, GR,
                 Refusal {Reason::SampleCountOutOfRange}},
    RefusalCase {"negativeSamples", [](TypedValues &v) { v.SampleCount = -5; }, HM,
                 Refusal {Reason::SampleCountOutOfRange}},
    RefusalCase {"samplesAboveCountRange", [](TypedValues &v) { v.SampleCount = 2147483646.6; }, HM,
                 Refusal {Reason::SampleCountOutOfRange}},
    RefusalCase {"samplesBeyond32Bits", [](TypedValues &v) { v.SampleCount = 1e12; }, HM,
                 Refusal {Reason::SampleCountOutOfRange}},
    RefusalCase {"largestSampleCount",
                 [](TypedValues &v) {
                     v.SampleCount = 2147483646;
                     v.TargetHarmonic = 2147483647;
                 },
                 HM, Nothing},
    RefusalCase {"oneSample",
                 [](TypedValues &v) {
                     v.SampleCount = 1.4;
                     v.HarmonicCount = 2;
                 },
                 GR, Nothing},
    RefusalCase {"harmonicsNPlusOne", [](TypedValues &v) { v.HarmonicCount = 10001; }, HM, Nothing},
    RefusalCase {"harmonicsHalfRoundsUp", [](TypedValues &v) { v.HarmonicCount = 10001.5; }, GR,
                 Refusal {Reason::TooManyHarmonics, {}, {10001}}},
    RefusalCase {"harmonicsHalfRoundsDown", [](TypedValues &v) { v.HarmonicCount = 10000.5; }, GR,
                 Nothing},
    RefusalCase {"noHarmonics", [](TypedValues &v) { v.HarmonicCount = -3; }, GR, Nothing},
    RefusalCase {"harmonicsBelow32Bits", [](TypedValues &v) { v.HarmonicCount = -1e10; }, GR,
                 Refusal {Reason::TooManyHarmonics, {}, {10001}}},
    RefusalCase {"periodsFarBelowZero", [](TypedValues &v) { v.PeriodCount = -1e10; }, GR,
                 Refusal {Reason::PeriodCountOutOfRange}},
    RefusalCase {"harmonicsDoubledOverflow",
                 [](TypedValues &v) {
                     v.SampleCount = 2e9;
                     v.HarmonicCount = 1073741824;
                 },
                 GR, Refusal {Reason::HarmonicCountOutOfRange, {}, {1073741823}}},
    RefusalCase {"targetNegative", [](TypedValues &v) { v.TargetHarmonic = -1; }, HM,
                 Refusal {Reason::TargetHarmonicOutOfRange, {}, {10001}}},
    RefusalCase {"targetNPlusOne", [](TypedValues &v) { v.TargetHarmonic = 10001; }, HM, Nothing},
    RefusalCase {"targetZero", [](TypedValues &v) { v.TargetHarmonic = -0.5; }, HM, Nothing},
    RefusalCase {"targetOutsideIgnoredByGraphs", [](TypedValues &v) { v.TargetHarmonic = -7; }, GR,
                 Nothing},
    RefusalCase {"zeroFrequencyHarmonicModulus",
                 [](TypedValues &v) { v.FrequencyKHz = v.FrequencyHz = 0; }, HM, Nothing},
    RefusalCase {"periodsBeyond32BitsHarmonicModulus", [](TypedValues &v) { v.PeriodCount = 3e9; },
                 HM, Nothing},
    RefusalCase {"memory", [](TypedValues &) {}, HM,
                 Refusal {Reason::NotEnoughMemory, {}, {10000, 1, 1}}, 320063},
    RefusalCase {"memoryJustEnough", [](TypedValues &) {}, HM, Nothing, 320064 * 10 / 9 + 10},
    // Every harmonic up to N + 1 takes the transform: its 10000 reals and 5001 bins count too.
    RefusalCase {"memoryCountsTheTransformsBuffers",
                 [](TypedValues &v) { v.HarmonicCount = 10001; }, HM,
                 Refusal {Reason::NotEnoughMemory, {}, {10000, 1, 1}}, 320064 * 10 / 9 + 10},
    RefusalCase {"memoryJustEnoughForTheTransform", [](TypedValues &v) { v.HarmonicCount = 10001; },
                 HM, Nothing, (320064 + 80000 + 80016) * 10 / 9 + 10},
    // The sum of the harmonics takes its transform's buffers and the sum, 8 (N + 1) + 8 N +
    // 16 (N / 2 + 1) bytes, under the same 90 %: 240024 at N = 10000, where the analysis's
    // 320064 would not fit.
    RefusalCase {"harmonicSumMemory", [](TypedValues &) {}, GR,
                 Refusal {Reason::NotEnoughMemory, {}, {10000, 1, 1}}, 240024, Asked::HarmonicSum},
    RefusalCase {"harmonicSumMemoryJustEnough", [](TypedValues &) {}, GR, Nothing,
                 240024 * 10 / 9 + 10, Asked::HarmonicSum},
    // 24000024 bytes at a million samples: 23 MB rounded up, of 23 MB free.
    RefusalCase {
        "harmonicSumMemoryOfAMillionSamples", [](TypedValues &v) { v.SampleCount = 1000000; }, GR,
        Refusal {Reason::NotEnoughMemory, {}, {1000000, 23, 23}}, 24000024, Asked::HarmonicSum}};

INSTANTIATE_TEST_SUITE_P(Values, Refusals, testing::ValuesIn(RefusalCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Stepping a field from the input window's texts: the step of each field, the typed decimals
// kept, a stop at each limit (those the checks set between fields included), and no step from a
// text the checks refuse. The other fields hold the window's first texts unless a case says.
struct StepCase
{
    const char *name;
    Field field;
    std::u16string typed;
    int steps;
    std::optional<std::u16string> after; // nothing: the field stays as it is
    std::function<void(FieldTexts &)> others = [](FieldTexts &) {};
    std::uint64_t memory = Plenty;
};

void PrintTo(const StepCase &c, std::ostream *out)
{
    *out << c.name;
}

class FieldSteps : public testing::TestWithParam<StepCase>
{
};

TEST_P(FieldSteps, stepWithinWhatTheChecksTake)
{
    const StepCase &c = GetParam();
    FieldTexts texts = DefaultTexts();
    c.others(texts);
    texts[c.field] = c.typed;
    EXPECT_EQ(SteppedText(c.field, texts, c.steps, c.memory), c.after);
}

const StepCase StepCases[] = {
    {"dutyCycleUpByAHundredth", Field::Text1, u"0.5", 1, u"0.51"},
    {"dutyCycleDownByTenHundredths", Field::Text1, u"0.5", -10, u"0.4"},
    {"dutyCycleStopsAtOne", Field::Text1, u"0.99", 10, u"1"},
    {"dutyCycleGoesNoHigherThanOne", Field::Text1, u"1", 1, std::nullopt},
    {"dutyCycleNeverReachesZero", Field::Text1, u"0.01", -1, std::nullopt},
    {"dutyCycleStopsAtAHundredth", Field::Text1, u"0.05", -10, u"0.01"},
    {"dutyCycleKeepsItsThirdDecimal", Field::Text1, u"0.505", 1, u"0.515"},
    {"dutyCycleWrittenWithAnExponentStepsToo", Field::Text1, u"5E-1", 1, u"0.51"},
    {"dutyCycleOfTinyExponentKeepsItsDecimals", Field::Text1, u"5e-3", 1, u"0.015"},
    {"dutyCycleOfZeroIsRefusedAndDoesNotStep", Field::Text1, u"0", 1, std::nullopt},
    {"dutyCycleAboveOneIsRefusedAndDoesNotStep", Field::Text1, u"1.5", -1, std::nullopt},
    {"letterDoesNotStep", Field::Text1, u"0,5", 1, std::nullopt},
    {"emptyFieldDoesNotStep", Field::Text7, u"", 1, std::nullopt},
    {"amplitudeUpByOneVolt", Field::Text7, u"10", 1, u"11"},
    {"amplitudeThroughZeroKeepsItsDecimal", Field::Text7, u"-0.5", 1, u"0.5"},
    {"amplitudeDownToZero", Field::Text7, u"10", -10, u"0"},
    {"amplitudeTooLargeToChangeStaysAsItIs", Field::Text7, u"1e300", 1, std::nullopt},
    {"amplitudeStepsWhileAnotherFieldHoldsALetter", Field::Text7, u"10", 1, u"11",
     [](FieldTexts &t) { t[Field::Text3] = u"x"; }},
    {"frequencyDownByTenKilohertz", Field::Text12, u"100", -10, u"90"},
    {"frequencyStopsAtOneKilohertz", Field::Text12, u"1", -1, std::nullopt},
    {"frequencyBelowTheLimitStepsOnlyUp", Field::Text12, u"0.5", -1, std::nullopt},
    {"frequencyBelowTheLimitStepsUp", Field::Text12, u"0.5", 1, u"1.5"},
    {"frequencyStepsPastAMillionKilohertz", Field::Text12, u"1000000", 1, u"1000001"},
    {"frequencyStopsAtAThousandMillionKilohertz", Field::Text12, u"999999995", 10, u"1000000000"},
    {"samplesUpByOne", Field::Text13, u"10000", 1, u"10001"},
    {"samplesDownToTheHarmonicsLimit", Field::Text13, u"10", -1, u"9"},
    {"samplesStopWhereTheHarmonicsWouldBeTooMany", Field::Text13, u"9", -1, std::nullopt},
    {"samplesStopAtTheHarmonicsLimitOnPageDown", Field::Text13, u"15", -10, u"9"},
    {"samplesDoNotStepWhenMemoryRefusesThem", Field::Text13, u"10000", 1, std::nullopt,
     [](FieldTexts &) {}, 1},
    {"harmonicsUpByOne", Field::Text3, u"10", 1, u"11"},
    {"harmonicsStopAtZero", Field::Text3, u"0", -1, std::nullopt},
    {"harmonicsStopAtOneMoreThanTheSamples", Field::Text3, u"10", 1, std::nullopt,
     [](FieldTexts &t) { t[Field::Text13] = u"9"; }},
    {"periodsDownByOne", Field::Text8, u"3", -1, u"2"},
    {"periodsStopAtOne", Field::Text8, u"1", -1, std::nullopt},
    {"periodsKeepTheirHalf", Field::Text8, u"2.5", 1, u"3.5"},
    {"harmonicNumberEmptyDoesNotStep", Field::Text2, u"", 1, std::nullopt},
    {"harmonicNumberUpByOne", Field::Text2, u"5", 1, u"6"},
    {"harmonicNumberStopsAtOneMoreThanTheSamples", Field::Text2, u"10001", 1, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Values, FieldSteps, testing::ValuesIn(StepCases),
                         [](const auto &info) { return std::string(info.param.name); });

// A filter's fields, checked and stepped as the fields are: the settings they give (Hz, Q), or
// the refusal's words that name the field and its range; and a step's text.
struct FilterCase
{
    const char *name;
    FilterKind kind;
    FilterTexts texts;
    std::optional<FilterSettings> settings; // nothing: refused with `refusal` in its message
    std::u16string_view refusal = u"";
};

const FilterCase FilterCases[] = {
    {"noneTakesNothing", FilterKind::None, {u"x", u""}, FilterSettings {}},
    {"lowPassInHertz",
     FilterKind::RcLowPass,
     {u"2.5", u"x"},
     FilterSettings {FilterKind::RcLowPass, 2500, 0}},
    {"bandPassWithItsQ",
     FilterKind::RlcBandPass,
     {u"300", u"1e1"},
     FilterSettings {FilterKind::RlcBandPass, 300000, 10}},
    {"zeroCutOffNamesTheField",
     FilterKind::RcHighPass,
     {u"0", u""},
     std::nullopt,
     u"fc (frequenza di taglio) del filtro deve essere maggiore di 0 kHz e non superiore a "
     u"1E+300 kHz."},
    {"negativeQNamesQ",
     FilterKind::SecondOrderLowPass,
     {u"500", u"-1"},
     std::nullopt,
     u"Q (fattore di merito) del filtro deve essere maggiore di 0 e non superiore a 1E+300."},
    {"beyondTheRangeIsRefused",
     FilterKind::RcLowPass,
     {u"2e300", u""},
     std::nullopt,
     u"maggiore di 0 kHz"},
    {"emptyQIsMissing",
     FilterKind::RlcBandPass,
     {u"300", u""},
     std::nullopt,
     u"Hai dimenticato di scrivere Q (fattore di merito) del filtro."},
    {"commaIsNotANumber",
     FilterKind::RcLowPass,
     {u"0,5", u""},
     std::nullopt,
     u"Errore di inserimento dati per fc (frequenza di taglio) del filtro."},
};

TEST(FilterFields, checkedAsTheFieldsAre)
{
    for (const FilterCase &c : FilterCases) {
        const auto checked = CheckFilter(c.kind, c.texts);
        if (c.settings) {
            ASSERT_TRUE(std::holds_alternative<FilterSettings>(checked)) << c.name;
            EXPECT_EQ(std::get<FilterSettings>(checked), *c.settings) << c.name;
        } else {
            ASSERT_TRUE(std::holds_alternative<std::u16string>(checked)) << c.name;
            EXPECT_NE(std::get<std::u16string>(checked).find(c.refusal), std::u16string::npos)
                << c.name << ": " << Utf8(std::get<std::u16string>(checked));
        }
    }
    for (const FilterDeclaration &filter : Filters) // every filter's first texts are taken
        EXPECT_TRUE(std::holds_alternative<FilterSettings>(
            CheckFilter(filter.kind, FirstFilterTexts(filter.kind))))
            << filter.name;
}

TEST(FilterFields, stepAsTheFieldsStep)
{
    const FilterParameter &cutOff = DeclarationOf(FilterKind::RcLowPass).parameters[0];
    const FilterParameter &quality = DeclarationOf(FilterKind::RlcBandPass).parameters[1];
    const struct
    {
        const FilterParameter &parameter;
        std::u16string typed;
        int steps;
        std::optional<std::u16string> after;
    } cases[] = {
        {cutOff, u"500", 1, u"501"},
        {cutOff, u"500", -10, u"490"},
        {cutOff, u"1.5", -10, u"1"}, // stops at 1 kHz
        {cutOff, u"0.5", -1, std::nullopt}, // typed below the step's limit: only up
        {cutOff, u"0.5", 1, u"1.5"},
        {cutOff, u"0", 1, std::nullopt}, // refused: does not step
        {quality, u"0.707", 1, u"0.807"},
        {quality, u"10", -1, u"9.9"},
        {quality, u"0.15", -1, u"0.1"},
        {quality, u"1e6", 1, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SteppedFilterText(c.parameter, c.typed, c.steps), c.after) << Utf8(c.typed);
}

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

// Every problem a command's values can have, in the order the checks meet them: of any two
// neighbours present together, the earlier one is refused.
struct Problem
{
    std::function<void(TypedValues &, std::uint64_t &memory)> make;
    Refusal refusal;
};

std::vector<Problem> ProblemsInOrder(Command command)
{
    std::vector<Problem> problems = {
        {[](TypedValues &v, auto &) { v.DutyCycle = -0.5; }, {Reason::NegativeDutyCycle}},
        {[](TypedValues &v, auto &) { v.Amplitude = Inf; },
         {Reason::ValueBeyondDoubles, Field::Text7}},
        {[](TypedValues &v, auto &) { v.FrequencyKHz = v.FrequencyHz = Inf; },
         {Reason::ValueBeyondDoubles, Field::Text12}},
        {[](TypedValues &v, auto &) {
             v.FrequencyKHz = 1e306;
             v.FrequencyHz = Inf;
         },
         {Reason::FrequencyTimesThousandBeyondDoubles}},
        {[](TypedValues &v, auto &) { v.HarmonicCount = Inf; },
         {Reason::ValueBeyondDoubles, Field::Text3}},
        {[](TypedValues &v, auto &) { v.DutyCycle = Inf; },
         {Reason::ValueBeyondDoubles, Field::Text1}},
        {[](TypedValues &v, auto &) { v.SampleCount = Inf; },
         {Reason::ValueBeyondDoubles, Field::Text13}},
        {[](TypedValues &v, auto &) { v.PeriodCount = Inf; },
         {Reason::ValueBeyondDoubles, Field::Text8}},
    };
    if (command == HM)
        problems.push_back({[](TypedValues &v, auto &) { v.TargetHarmonic = Inf; },
                            {Reason::ValueBeyondDoubles, Field::Text2}});
    problems.push_back(
        {[](TypedValues &v, auto &) { v.SampleCount = 0; }, {Reason::SampleCountOutOfRange}});
    problems.push_back({[](TypedValues &v, auto &) { v.HarmonicCount = 10002; },
                        {Reason::TooManyHarmonics, {}, {10001}}});
    if (command == HM) {
        problems.push_back({[](TypedValues &v, auto &) { v.TargetHarmonic = 10002; },
                            {Reason::TargetHarmonicOutOfRange, {}, {10001}}});
    } else {
        problems.push_back(
            {[](TypedValues &v, auto &) { v.PeriodCount = 3e9; }, {Reason::PeriodCountOutOfRange}});
        problems.push_back({[](TypedValues &v, auto &) { v.FrequencyKHz = v.FrequencyHz = 0; },
                            {Reason::ZeroFrequency}});
    }
    problems.push_back({[](TypedValues &, std::uint64_t &memory) { memory = 1000; },
                        {Reason::NotEnoughMemory, {}, {10000, 1, 1}}});
    return problems;
}

TEST(CheckParameters, ofTwoNeighbouringProblemsTheEarlierIsRefused)
{
    for (const Command command : {HM, GR}) {
        const std::vector<Problem> problems = ProblemsInOrder(command);
        for (std::size_t i = 0; i < problems.size(); ++i) {
            for (const std::size_t later : {i, i + 1}) {
                if (later == problems.size())
                    continue;
                TypedValues values = Defaults();
                std::uint64_t memory = Plenty;
                problems[later].make(values, memory); // the earlier one's values prevail
                problems[i].make(values, memory);
                const auto result = CheckParameters(values, command, memory);
                ASSERT_TRUE(std::holds_alternative<Refusal>(result)) << i;
                EXPECT_EQ(std::get<Refusal>(result), problems[i].refusal)
                    << (command == HM ? "harmonic modulus" : "graphs") << ", problems " << i
                    << " and " << later;
            }
        }
    }
}

// The exact words of every reason, with its field and numbers filled in.
TEST(MessageText, writesEveryReasonInItsExactWords)
{
    const std::pair<Refusal, std::u16string> texts[] = {
        {{Reason::DutyCycleZeroOrAboveOne}, u"Il Duty cycle non può essere zero o maggiore di uno"},
        {{Reason::NegativeDutyCycle}, u"Il Duty cycle non può essere negativo"},
        {{Reason::ValueBeyondDoubles, Field::Text13},
         u"Il valore scritto per il numero di campioni è troppo grande: supera i numeri "
         u"rappresentabili (circa 1.8E+308)."},
        {{Reason::ValueBeyondDoubles, Field::Text2},
         u"Il valore scritto per il numero della armonica di cui si vuole calcolare il modulo è "
         u"troppo grande: supera i numeri rappresentabili (circa 1.8E+308)."},
        {{Reason::FrequencyTimesThousandBeyondDoubles},
         u"La frequenza del segnale f è troppo grande: moltiplicata per 1000 supera i numeri "
         u"rappresentabili (circa 1.8E+308)."},
        {{Reason::SampleCountOutOfRange},
         u"Il numero di campioni deve essere un numero intero compreso tra 1 e 2147483646."},
        {{Reason::TooManyHarmonics, {}, {10001}},
         u"Il numero delle armoniche dello spettro visualizzate è fuori dall'intervallo "
         u"consentito: può essere al massimo 10001 (il numero di campioni più uno)."},
        {{Reason::HarmonicCountOutOfRange, {}, {1073741823}},
         u"Il numero delle armoniche dello spettro visualizzate è fuori dall'intervallo "
         u"consentito: può essere al massimo 1073741823."},
        {{Reason::TargetHarmonicOutOfRange, {}, {2147483647}},
         u"Il numero della armonica di cui si vuole calcolare il modulo deve essere compreso tra 0 "
         u"e 2147483647 (il numero di campioni più uno)."},
        {{Reason::PeriodCountOutOfRange},
         u"Il numero di periodi di s(t) visualizzati è troppo grande in valore assoluto: al "
         u"massimo 2147483647."},
        {{Reason::ZeroFrequency}, u"La frequenza del segnale f non può essere zero."},
        {{Reason::NotEnoughMemory, {}, {2000000000, 61036, 24000}},
         u"Memoria insufficiente: per 2000000000 campioni servono 61036 MB, ma ne sono disponibili "
         u"24000 MB. Riduci il numero di campioni."},
        {{Reason::AllocationFailed},
         u"Memoria insufficiente per il calcolo: riduci il numero di campioni."},
        {{Reason::ResultsTooLarge},
         u"Il calcolo ha prodotto valori troppo grandi per essere rappresentati (oltre 1E+300). "
         u"Prova con un'ampiezza Vmax più piccola."},
    };
    for (const ReasonEntry &entry : ReasonTable())
        EXPECT_TRUE(std::any_of(std::begin(texts), std::end(texts),
                                [&](const auto &t) { return t.first.reason == entry.reason; }))
            << "no text here for " << entry.when;
    for (const auto &[refusal, text] : texts)
        EXPECT_EQ(MessageText(refusal), text) << static_cast<int>(refusal.reason);
}

// The README's table of refusals says what the message table says: one row a reason, in order,
// with the field and the numbers named in italics.
TEST(MessageText, readmeListsEveryReasonAsTheTableSaysIt)
{
    std::string rows;
    for (const ReasonEntry &entry : ReasonTable()) {
        std::string text = Utf8(entry.text);
        for (std::size_t at; (at = text.find('%')) != std::string::npos;) {
            const char slot = text[at + 1];
            const std::string name = slot == 'f'
                ? std::string("(the field)")
                : std::string(entry.numberNames[static_cast<std::size_t>(slot - '1')]);
            text.replace(at, 2, "*" + name + "*");
        }
        rows += "| " + std::string(entry.when) + " | " + text + " |\n";
    }
    std::ifstream file(SPETTRO_SOURCE_DIR "/README.md");
    ASSERT_TRUE(file);
    std::stringstream readme;
    readme << file.rdbuf();
    EXPECT_NE(readme.str().find(rows), std::string::npos)
        << "README.md should hold these rows, one after the other:\n"
        << rows;
}

// The export's messages in their exact words. A file name may hold "%1" or "%2": it is shown as it
// is, never filled in a second time.
TEST(ExportMessages, fillEachSlotOnceInTheirExactWords)
{
    EXPECT_EQ(SaveFailedText(u"/home/anna/100%2 %1.csv", SaveProblem::DiskFull),
              u"Il file «/home/anna/100%2 %1.csv» non è stato salvato: il disco è pieno. Un file "
              u"con quel nome, se c'era, è rimasto com'era.");
    EXPECT_EQ(TooManyRowsText(2000003),
              u"I dati sono 2000003 righe: troppe per gli appunti, perché un foglio di calcolo ne "
              u"accoglie al massimo 1048576. Usa «Salva dati (CSV)…».");
    EXPECT_EQ(TooManyWorkbookRowsText(2000001),
              u"Un foglio del file avrebbe 2000001 righe: troppe, perché un foglio di calcolo ne "
              u"accoglie al massimo 1048576. Usa «Salva dati (CSV)…».");
}

// One ellipsis character throughout, and in each text the slots its code fills in: %1 and %2 in a
// progress text, those of the export's messages, %1 in the terminal's note, the sum's key, the
// harmonic's readout, a file's type, the decibels' floor and its key, a slope and an envelope's
// zero, none elsewhere (a stray % would be shown as is).
TEST(WindowTexts, everyTextHasOneEllipsisCharacterAndTheSlotsItsCallerFills)
{
    const std::pair<UiText, std::u16string_view> slotted[] = {
        {UiText::QtTranslationsMissing, u"%1"},
        {UiText::AnalysisProgress, u"%1%2"},
        {UiText::CopyDataProgress, u"%1%2"},
        {UiText::SaveDataProgress, u"%1%2"},
        {UiText::SaveWorkbookProgress, u"%1%2"},
        {UiText::HarmonicSumProgress, u"%1%2"},
        {UiText::SaveFailed, u"%1%2"},
        {UiText::TooManyRows, u"%1%2%3"},
        {UiText::TooManyWorkbookRows, u"%1%2%3"},
        {UiText::PartialSumKey, u"%1"},
        {UiText::HarmonicReadout, u"%1%2%3"},
        {UiText::FieldStepHint, u"%1%2"},
        {UiText::KeptScaleHidesKey, u"%1"},
        {UiText::SlideScaleChoice, u"%1%2%3"},
        {UiText::OtherFileType, u"%1"},
        {UiText::FloorLevel, u"%1"},
        {UiText::BelowFloorKey, u"%1"},
        {UiText::SlopeLabel, u"%1"},
        {UiText::EnvelopeZero, u"%1"},
        {UiText::EnvelopeZeroHalf, u"%1"},
        {UiText::FilterReadout, u"%1%2%3%4%5"},
        {UiText::FilterProgress, u"%1%2"},
        {UiText::ReferenceKey, u"%1%2"},
        {UiText::ReferenceFilteredKey, u"%1%2%3"},
        {UiText::ReferenceMemory, u"%1%2"},
        {UiText::CaptureProgress, u"%1%2"},
        {UiText::MeasuredProgress, u"%1%2"},
        {UiText::MeasuredHeading, u"%1%2%3"},
        {UiText::CaptureUnopened, u"%1"},
        {UiText::FitResult, u"%1%2%3%4%5"},
        {UiText::ModelKey, u"%1%2"},
        {UiText::MeasuredReferenceKey, u"%1"},
        {UiText::MeasuredReferenceFilteredKey, u"%1%3"},
        {UiText::ReferenceMeasure, u"%1%2"},
        {UiText::ReferenceReadout, u"%1"},
    };
    std::vector<std::u16string_view> all;
    for (std::size_t i = 0; i < static_cast<std::size_t>(UiText::Count); ++i) {
        const UiText key = static_cast<UiText>(i);
        const std::u16string_view text = TextOf(key);
        all.push_back(text);
        std::u16string slots;
        for (std::size_t at = text.find(u'%'); at != text.npos; at = text.find(u'%', at + 1))
            slots += text.substr(at, 2);
        const auto expected = std::find_if(std::begin(slotted), std::end(slotted),
                                           [&](const auto &s) { return s.first == key; });
        EXPECT_EQ(slots, expected == std::end(slotted) ? u"" : expected->second)
            << "text " << i << ": " << Utf8(text);
    }
    for (const ReasonEntry &entry : ReasonTable())
        all.push_back(entry.text);
    for (std::size_t i = 0; i < static_cast<std::size_t>(SaveProblem::Count); ++i)
        all.push_back(SaveProblemText(static_cast<SaveProblem>(i)));
    for (std::size_t i = 0; i < FieldCount; ++i) {
        all.push_back(MessagesFor(static_cast<Field>(i)).missing);
        all.push_back(MessagesFor(static_cast<Field>(i)).invalid);
    }
    for (const std::u16string_view text : all)
        EXPECT_EQ(text.find(u"..."), text.npos) << Utf8(text);
}

} // namespace
