// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis as a CSV table, read back with an RFC 4180 parser of its own: the same doubles to
// the bit, every row as wide as the header, CRLF line ends.
#include "core/export/analysis_table.h"
#include "core/export/slide_caption.h"
#include "core/export/table_texts.h"
#include "core/spectrum/filter_output.h"
#include "core/spectrum/harmonic_sum.h"
#include "core/spectrum/reference_trace.h"
#include "core/spectrum/signal_measures.h"
#include "core/spectrum/spectrum.h"
#include "core/state/measured_signal.h"
#include "tests/support/analysed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

namespace {

// Splits RFC 4180 text into rows of fields: quoted fields may hold commas, quotes (doubled) and
// line ends; every row ends with CRLF.
std::vector<std::vector<std::string>> ParseCsv(const std::string &text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string &field = rows.back().back();
        if (text[i] == '"') {
            for (++i; i < text.size(); ++i) {
                if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"')
                    field += text[++i];
                else if (text[i] == '"')
                    break;
                else
                    field += text[i];
            }
        } else if (text[i] == ',') {
            rows.back().emplace_back();
        } else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            field += text[i];
        }
    }
    if (rows.back().size() == 1 && rows.back()[0].empty())
        rows.pop_back(); // after the last CRLF
    return rows;
}

std::uint64_t Bits(const std::string &field)
{
    char *end = nullptr;
    const double value = std::strtod(field.c_str(), &end);
    EXPECT_EQ(*end, '\0') << field;
    return std::bit_cast<std::uint64_t>(value);
}

AnalysisState Analysis(double frequency, double harmonics = 20.5) // 20.5: 20 harmonics
{
    AnalysisState s
        = AnalysisOf({.v = -3e-7, .d = 0.37, .n = 1000, .h = harmonics, .f = frequency, .p = 3.25});
    FindSpectrumPeak(s);
    ComputeMeasures(s);
    s.HarmonicSum = ComputeHarmonicSum(s).value();
    return s;
}

std::uint64_t BitsOf(double value)
{
    return std::bit_cast<std::uint64_t>(value);
}

std::string Table(const AnalysisState &s)
{
    const AnalysisTable table(s);
    std::string text;
    table.AppendRows(0, 7, text); // in two pieces, as the export writes it
    table.AppendRows(7, table.RowCount() - 7, text);
    return text;
}

TEST(AnalysisTable, readsBackToTheAnalysisBitForBit)
{
    const AnalysisState s = Analysis(123456.789);
    const std::string text = Table(s);
    const auto rows = ParseCsv(text);
    ASSERT_EQ(rows.size(), 4u + 20u + 1000u);
    // Today's columns first, where they always were; the new ones after them.
    EXPECT_EQ(rows[0],
              (std::vector<std::string> {"grandezza",
                                         "componente continua [V]",
                                         "k",
                                         "frequenza [kHz]",
                                         "a_k [V]",
                                         "b_k [V]",
                                         "|S_k| [V]",
                                         "i",
                                         "tempo [\xC2\xB5s]",
                                         "s(i) [V]",
                                         "somma armoniche [V]",
                                         "fase [\xC2\xB0]",
                                         "livello [dB]",
                                         "valore efficace [V]",
                                         "THD [%]",
                                         "potenza nelle armoniche [%]",
                                         "banda 90 % [armoniche]",
                                         "banda 95 % [armoniche]",
                                         "banda 99 % [armoniche]",
                                         "banda 90 % [kHz]",
                                         "banda 95 % [kHz]",
                                         "banda 99 % [kHz]",
                                         "D.C.",
                                         "Vmax [V]",
                                         "f [kHz]",
                                         "N",
                                         "M",
                                         "Np",
                                         "forma",
                                         "|H|",
                                         "arg H [\xC2\xB0]",
                                         "|Y| [V]",
                                         "fase di Y [\xC2\xB0]",
                                         "y(t) [V]",
                                         "filtro",
                                         "fc o f0 [kHz]",
                                         "Q",
                                         "rif. frequenza [kHz]",
                                         "rif. |S| [V]",
                                         "rif. fase [\xC2\xB0]",
                                         "rif. tempo [\xC2\xB5s]",
                                         "rif. s(t) [V]",
                                         "rif. componente continua [V]"}));
    for (const auto &row : rows)
        ASSERT_EQ(row.size(), rows[0].size());
    EXPECT_EQ(rows[1][0], "componente continua");
    EXPECT_EQ(Bits(rows[1][1]), std::bit_cast<std::uint64_t>(s.MeanValue));
    // The measures' row and the parameters' row come last, after the samples, and fill their
    // own columns alone: every row before them stands where it always has.
    const auto &measures = rows[rows.size() - 2];
    const auto &parameterRow = rows[rows.size() - 1];
    EXPECT_EQ(measures[0], "misure");
    EXPECT_EQ(Bits(measures[13]), BitsOf(*s.RmsValue));
    EXPECT_EQ(Bits(measures[14]), BitsOf(*s.HarmonicDistortion));
    EXPECT_EQ(Bits(measures[15]), BitsOf(*s.PowerShare));
    // The bandwidths as counts of harmonics, then as those counts times f in kHz.
    const std::optional<double> bandwidths[] = {s.BandwidthAt90, s.BandwidthAt95, s.BandwidthAt99};
    for (std::size_t b = 0; b < 3; ++b) {
        ASSERT_TRUE(bandwidths[b]) << b;
        EXPECT_EQ(Bits(measures[16 + b]), BitsOf(*bandwidths[b])) << b;
        EXPECT_EQ(Bits(measures[19 + b]), BitsOf(*bandwidths[b] * 123456.789 / 1000)) << b;
    }
    EXPECT_EQ(parameterRow[0], "parametri");
    const double parameters[] = {0.37, -3e-7, 123456.789 / 1000, 1000, 20.5, 3.25};
    for (std::size_t p = 0; p < 6; ++p)
        EXPECT_EQ(Bits(parameterRow[AnalysisTable::FirstParameterColumn + p]),
                  BitsOf(parameters[p]))
            << p;
    // Without a filter, its name alone: "nessuno".
    const std::size_t filterName = AnalysisTable::FirstFilterColumn + 5;
    EXPECT_EQ(parameterRow[filterName], "nessuno");
    for (std::size_t c = 1; c < AnalysisTable::ColumnCount; ++c) {
        EXPECT_EQ(measures[c].empty(), c < 13 || c > 21) << c;
        EXPECT_EQ(parameterRow[c].empty(),
                  c < AnalysisTable::FirstParameterColumn
                      || (c >= AnalysisTable::FirstFilterColumn && c != filterName))
            << c;
    }
    EXPECT_EQ(rows[rows.size() - 3][0], "campione");
    for (int k = 1; k <= 20; ++k) {
        const auto &row = rows[1 + k];
        ASSERT_EQ(row[0], "armonica");
        EXPECT_EQ(row[2], std::to_string(k));
        EXPECT_EQ(Bits(row[3]), std::bit_cast<std::uint64_t>(k * s.Frequency / 1000));
        EXPECT_EQ(Bits(row[4]), std::bit_cast<std::uint64_t>(s.CosCoefficients[k])) << k;
        EXPECT_EQ(Bits(row[5]), std::bit_cast<std::uint64_t>(s.SinCoefficients[k])) << k;
        EXPECT_EQ(Bits(row[6]), std::bit_cast<std::uint64_t>(s.Magnitudes[k])) << k;
        EXPECT_EQ(Bits(row[11]), BitsOf(PhaseDegrees(s, k))) << k;
        EXPECT_EQ(Bits(row[12]), BitsOf(LevelDecibels(s, k))) << k;
    }
    for (int i = 0; i < 1000; ++i) {
        const auto &row = rows[22 + i];
        ASSERT_EQ(row[0], "campione");
        EXPECT_EQ(row[7], std::to_string(i));
        EXPECT_EQ(Bits(row[8]), std::bit_cast<std::uint64_t>(1e6 / s.Frequency * i / 1000));
        EXPECT_EQ(Bits(row[9]), std::bit_cast<std::uint64_t>(s.Samples[i])) << i;
        EXPECT_EQ(Bits(row[10]), std::bit_cast<std::uint64_t>(s.HarmonicSum[i])) << i;
    }
    // RFC 4180 line ends only.
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    std::size_t lineEnds = 0;
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; ++at, ++lineEnds)
        EXPECT_EQ(text[at - 1], '\r');
    EXPECT_EQ(lineEnds, rows.size());
}

// The slide's caption names the shape, the parameters by the input window's names, each number
// as typed, and the views shown, in their order.
TEST(SlideCaption, statesTheParametersAndTheViews)
{
    struct Case
    {
        AnalysisParameters parameters;
        std::vector<std::string> views;
        std::string caption;
    };
    const Case cases[] = {
        {{0.5, 10, 100e3, 10, 10000, 3, 0, PulseShape::HalfSine, {}},
         {},
         "Forma dell'impulso: semisinusoide. D.C. = 0.5, Vmax = 10 V, f = 100 kHz, N = 10000, "
         "M = 10, Np = 3."},
        {{0.25, 2.5, 1.5e6, 30, 1000, 1.5, 0, PulseShape::Rectangular, {}},
         {"Scala in dB", "Inviluppo"},
         "Forma dell'impulso: rettangolare. D.C. = 0.25, Vmax = 2.5 V, f = 1500 kHz, N = 1000, "
         "M = 30, Np = 1.5. Viste: Scala in dB; Inviluppo."},
        {{0.1, 1e-3, 1, 3, 8, 2, 0, PulseShape::RaisedCosine, {}},
         {"somma della prima armonica"},
         "Forma dell'impulso: coseno rialzato. D.C. = 0.1, Vmax = 0.001 V, f = 0.001 kHz, N = 8, "
         "M = 3, Np = 2. Viste: somma della prima armonica."},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SlideCaption(c.parameters, c.views), c.caption);
    // With the decimal comma of an Italian system, as the axes write it, the values parted by
    // semicolons; and the file's name, naming the shape and D.
    EXPECT_EQ(
        SlideCaption(cases[1].parameters, {}, ','),
        "Forma dell'impulso: rettangolare. D.C. = 0,25; Vmax = 2,5 V; f = 1500 kHz; N = 1000; "
        "M = 30; Np = 1,5.");
    // Through a filter, its sentence after the parameters, its frequency in kHz.
    const std::vector<std::string> measures = {"Misure"};
    EXPECT_EQ(
        SlideCaption(cases[0].parameters, measures, ',', {FilterKind::RlcBandPass, 300e3, 2.5}),
        "Forma dell'impulso: semisinusoide. D.C. = 0,5; Vmax = 10 V; f = 100 kHz; N = 10000; "
        "M = 10; Np = 3. Filtro passa-banda RLC serie: f0 = 300 kHz; Q = 2,5. Viste: Misure.");
    EXPECT_EQ(SlideCaption(cases[2].parameters, {}, '.', {FilterKind::RcHighPass, 1500, 0}),
              "Forma dell'impulso: coseno rialzato. D.C. = 0.1, Vmax = 0.001 V, f = 0.001 kHz, "
              "N = 8, M = 3, Np = 2. Filtro passa-alto RC: fc = 1.5 kHz.");
    // A reference's sentences after the analysis's, its filter's too, before the views.
    HeldReference reference;
    reference.analysis.Parameters() = cases[1].parameters;
    reference.filter = {FilterKind::RcLowPass, 150e3, 0};
    EXPECT_EQ(SlideCaption(cases[0].parameters, measures, '.', {}, &reference),
              "Forma dell'impulso: semisinusoide. D.C. = 0.5, Vmax = 10 V, f = 100 kHz, N = 10000, "
              "M = 10, Np = 3. Riferimento: rettangolare. D.C. = 0.25, Vmax = 2.5 V, f = 1500 kHz, "
              "N = 1000, M = 30, Np = 1.5. Filtro passa-basso RC: fc = 150 kHz. Viste: Misure.");
    const struct
    {
        AnalysisParameters parameters;
        char separator;
        const char *name;
    } names[] = {
        {cases[1].parameters, ',', "spettro-segnale-diapositiva-rettangolare-D0,25.png"},
        {{0.07, 1, 1, 1, 1, 1, 0, PulseShape::Sawtooth, {}},
         ',',
         "spettro-segnale-diapositiva-dente-di-sega-D0,07.png"},
    };
    for (const auto &n : names)
        EXPECT_EQ(SlideFileName(n.parameters, n.separator), n.name);
    // A measured signal: "misurato" and the file's name in place of the shape, in the caption,
    // the picture's name and the table's parameters row.
    AnalysisParameters measured = cases[0].parameters;
    measured.Measured = std::make_shared<const MeasuredSignal>(nullptr, "prova 1.csv", 99e3);
    EXPECT_EQ(SlideCaption(measured, {}),
              "Segnale misurato: prova 1.csv. D.C. = 0.5, Vmax = 10 V, f = 100 kHz, N = 10000, "
              "M = 10, Np = 3.");
    EXPECT_EQ(SlideFileName(measured, '.'), "spettro-segnale-diapositiva-misurato-D0.5.png");
    AnalysisState analysed = Analysis(1000);
    analysed.Measured = measured.Measured;
    const AnalysisTable table(analysed, {}, nullptr);
    std::string text;
    table.AppendRows(table.RowCount() - 1, 1, text);
    const auto rows = ParseCsv(text);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "parametri");
    EXPECT_EQ(rows[0][AnalysisTable::FirstParameterColumn + 6], "misurato: prova 1.csv");
}

// Through an RC low-pass, the filter's columns: |H| and arg H against the textbook form
// 1 / (1 + j f / fc), the output's |Y|, phase and y(t) read back to its arrays bit for bit, and
// the parameters' row naming the filter; without its output, the columns are left empty.
TEST(AnalysisTable, carriesTheFilterAndItsOutput)
{
    const AnalysisState s = Analysis(1000);
    const FilterSettings low {FilterKind::RcLowPass, 2500, 0};
    const AnalysisState y = FilterOutput(s, low).value();
    const AnalysisTable table(s, low, &y);
    const std::size_t first = AnalysisTable::FirstFilterColumn;
    const auto rows = ParseCsv([&] {
        std::string text;
        table.AppendRows(0, table.RowCount(), text);
        return text;
    }());
    for (int k = 1; k <= 20; ++k) {
        const auto &row = rows[1 + k];
        const double u = k * 1000.0 / 2500;
        EXPECT_NEAR(std::bit_cast<double>(Bits(row[first])), 1 / std::sqrt(1 + u * u), 1e-15);
        EXPECT_NEAR(std::bit_cast<double>(Bits(row[first + 1])),
                    -std::atan(u) * 180 / std::numbers::pi, 1e-12);
        EXPECT_EQ(Bits(row[first + 2]), BitsOf(y.Magnitudes[k])) << k;
        EXPECT_EQ(Bits(row[first + 3]), BitsOf(PhaseDegrees(y, k))) << k;
    }
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(Bits(rows[22 + i][first + 4]), BitsOf(y.Samples[i])) << i;
    const auto &parameters = rows.back();
    EXPECT_EQ(parameters[first + 5], "passa-basso RC");
    EXPECT_EQ(parameters[first + 6], "2.5");
    EXPECT_EQ(parameters[first + 7], "");
    // The settings without their output: nothing of a filter the table cannot show.
    const AnalysisTable without(s, low);
    EXPECT_EQ(without.Cells(without.RowCount() - 1)[first + 5].text, "nessuno");
    EXPECT_EQ(without.Cells(2)[first].kind, TableCell::Kind::Empty);
}

// A rectangle held as the reference, with more harmonics and samples and another f than the
// analysis: its lines against the closed form 2 Vmax |sin(k pi D)| / (k pi) at k * its f, read
// back bit for bit with its samples, on as many rows as the larger needs (the analysis's cells
// empty past its own), and its measures' and parameters' rows last, its filter named.
TEST(AnalysisTable, carriesTheReferenceBesideTheAnalysis)
{
    const AnalysisState s = Analysis(1000);
    AnalysisState r = AnalysisOf({.v = 4,
                                  .d = 0.25,
                                  .n = 1200,
                                  .h = 30,
                                  .f = 2000,
                                  .p = 1,
                                  .shape = PulseShape::Rectangular});
    FindSpectrumPeak(r);
    ComputeMeasures(r);
    const HeldReference held = HoldReference(r, {FilterKind::RcHighPass, 1500, 0});
    // What it keeps: no more than it shows.
    EXPECT_EQ(held.analysis.Magnitudes.size(), 31u);
    EXPECT_TRUE(held.analysis.HarmonicSum.empty());
    const AnalysisTable table(s, {}, nullptr, &held);
    const auto rows = ParseCsv([&] {
        std::string text;
        table.AppendRows(0, table.RowCount(), text);
        return text;
    }());
    ASSERT_EQ(rows.size(), 1u + 1 + 30 + 1200 + 4);
    const std::size_t first = AnalysisTable::FirstReferenceColumn;
    EXPECT_EQ(Bits(rows[1][first + 5]), BitsOf(r.MeanValue));
    EXPECT_NEAR(r.MeanValue, 4 * 0.25, 1e-12);
    for (int k = 1; k <= 30; ++k) {
        const auto &row = rows[1 + k];
        EXPECT_EQ(row[first], std::to_string(2 * k)) << k; // kHz
        EXPECT_EQ(Bits(row[first + 1]), BitsOf(r.Magnitudes[k])) << k;
        EXPECT_NEAR(std::bit_cast<double>(Bits(row[first + 1])),
                    2 * 4 * std::abs(std::sin(k * std::numbers::pi * 0.25))
                        / (k * std::numbers::pi),
                    5e-4) // the pulse sampled 1200 times a period
            << k;
        // The analysis's own columns past its 20 harmonics: empty, the row's k kept.
        EXPECT_EQ(row[2], std::to_string(k));
        EXPECT_EQ(row[3].empty(), k > 20) << k;
    }
    for (int i = 0; i < 1200; ++i) {
        const auto &row = rows[32 + i];
        EXPECT_EQ(Bits(row[first + 4]), BitsOf(r.Samples[i])) << i;
        EXPECT_EQ(row[9].empty(), i >= 1000) << i; // s(i) of the analysis
    }
    EXPECT_EQ(rows[32 + 600][first + 3], "250"); // half of its 500 us period
    const auto &measures = rows[rows.size() - 2];
    EXPECT_EQ(measures[0], "misure del riferimento");
    EXPECT_EQ(Bits(measures[13]), BitsOf(*r.RmsValue));
    const auto &parameters = rows.back();
    EXPECT_EQ(parameters[0], "parametri del riferimento");
    EXPECT_EQ(parameters[AnalysisTable::FirstParameterColumn], "0.25");
    EXPECT_EQ(parameters[AnalysisTable::FirstParameterColumn + 6], "rettangolare");
    EXPECT_EQ(parameters[AnalysisTable::FirstFilterColumn + 5], "passa-alto RC");
    EXPECT_EQ(parameters[AnalysisTable::FirstFilterColumn + 6], "1.5");
    EXPECT_EQ(rows[rows.size() - 3][0], "parametri");
    // Its key, and memory short for it: the megabytes needed and free, rounded up.
    // A measured signal held is named by its file, through a filter too.
    HeldReference measured = held;
    measured.analysis.Measured = std::make_shared<const MeasuredSignal>(nullptr, "prova.csv", 1);
    HeldReference measuredAlone = measured;
    measuredAlone.filter = {};
    const struct
    {
        HeldReference reference;
        char16_t separator;
        std::u16string_view key;
    } keys[] = {
        {held, u',', u"riferimento: rettangolare, D.C. = 0,25, filtro passa-alto RC"},
        {HoldReference(s), u'.', u"riferimento: semisinusoide, D.C. = 0.37"},
        {measured, u',', u"riferimento: misurato: prova.csv, filtro passa-alto RC"},
        {measuredAlone, u',', u"riferimento: misurato: prova.csv"},
    };
    for (const auto &k : keys)
        EXPECT_EQ(ReferenceKey(k.reference, k.separator), k.key);
    struct Memory
    {
        std::uint64_t available;
        bool refused;
    };
    const std::uint64_t needed = ReferenceBytes(r);
    for (const Memory &m : {Memory {needed / 9 * 10 + 10, false}, Memory {needed, true},
                            Memory {(3u << 20) + 1, false}, Memory {0, true}}) {
        const auto problem = ReferenceMemoryProblem(r, m.available);
        EXPECT_EQ(problem.has_value(), m.refused) << m.available;
        if (problem) {
            EXPECT_EQ(problem->neededMegabytes, 1u);
            EXPECT_EQ(problem->availableMegabytes, (m.available + (1u << 20) - 1) >> 20);
        }
    }
}

TEST(AnalysisTable, leavesTheTimeOutWithoutATimeScale)
{
    const auto rows = ParseCsv(Table(Analysis(0)));
    EXPECT_EQ(rows[22][8], ""); // sample 0: 0 times an infinite period
    EXPECT_EQ(rows[23][8], "");
    EXPECT_EQ(rows[2][3], "0"); // harmonic 1 at 0 kHz
}

// The shortest text that reads back, not merely one that does: a spreadsheet shows what is
// written. A count of harmonics such as 20.7 rounds to 21, as every other count of the program.
TEST(AnalysisTable, writesTheShortestTextAndRoundsTheHarmonicCount)
{
    const AnalysisState s = Analysis(100, 20.7);
    const auto rows = ParseCsv(Table(s));
    ASSERT_EQ(rows.size(), 4u + 21u + 1000u);
    EXPECT_EQ(rows[2][3], "0.1"); // harmonic 1 of 100 Hz, in kHz
    EXPECT_EQ(rows[4][3], "0.3");
    EXPECT_EQ(rows[22][0], "armonica");
    EXPECT_EQ(rows[22][2], "21");
    EXPECT_EQ(rows[23][8], "0"); // sample 0 at 0 µs
    EXPECT_EQ(rows[24][8], "10"); // a period of 10000 µs in 1000 samples
    constexpr std::size_t parameters = AnalysisTable::FirstParameterColumn;
    EXPECT_EQ(rows[0][parameters + 4], "M");
    EXPECT_EQ(rows.back()[parameters + 4], "20.7"); // M as typed
    EXPECT_EQ(rows.back()[parameters + 6], "semisinusoide");
}

TEST(AnalysisTable, leavesTheSumOutUntilItIsComputed)
{
    AnalysisState s = Analysis(1000);
    s.HarmonicSum = {};
    const auto rows = ParseCsv(Table(s));
    ASSERT_EQ(rows[22].size(), AnalysisTable::ColumnCount);
    EXPECT_EQ(rows[22][10], "");
    EXPECT_NE(rows[22][9], "");
}

std::vector<std::string> Split(const std::string &line, char separator)
{
    std::vector<std::string> fields(1);
    for (const char c : line) {
        if (c == separator)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// The clipboard's tab-separated text holds the CSV's cells, numbers with the decimal comma.
TEST(AnalysisTable, tabTextHoldsTheSameCellsWithTheGivenSeparator)
{
    const AnalysisState s = Analysis(123456.789);
    const AnalysisTable table(s);
    const auto csv = ParseCsv(Table(s));
    std::string tabs;
    AppendTabRows(table, 0, 5, u',', tabs);
    AppendTabRows(table, 5, table.RowCount() - 5, u',', tabs);
    ASSERT_EQ(tabs.back(), '\n');
    tabs.pop_back();
    const auto lines = Split(tabs, '\n');
    ASSERT_EQ(lines.size(), csv.size());
    for (std::size_t row = 0; row < lines.size(); ++row) {
        auto fields = Split(lines[row], '\t');
        for (std::size_t column = 1; row > 0 && column < fields.size(); ++column) {
            std::string &number = fields[column];
            EXPECT_EQ(number.find('.'), std::string::npos) << number;
            std::replace(number.begin(), number.end(), ',', '.');
        }
        EXPECT_EQ(fields, csv[row]) << "row " << row;
    }
}

// The HTML table has the header's cells as <th>, then one <tr> per row.
TEST(AnalysisTable, htmlTableHasOneRowPerTableRow)
{
    const AnalysisState s = Analysis(1000);
    const AnalysisTable table(s);
    std::string html;
    AppendHtmlStart(html);
    AppendHtmlRows(table, 0, table.RowCount(), u'.', html);
    AppendHtmlEnd(html);
    std::size_t rows = 0, headers = 0;
    for (std::size_t at = 0; (at = html.find("<tr>", at)) != std::string::npos; ++at)
        ++rows;
    for (std::size_t at = 0; (at = html.find("<th>", at)) != std::string::npos; ++at)
        ++headers;
    EXPECT_EQ(rows, std::size_t(table.RowCount()));
    EXPECT_EQ(headers, AnalysisTable::ColumnCount);
    EXPECT_NE(html.find("<th>|S_k| [V]</th>"), std::string::npos);
    EXPECT_NE(html.find("<td>componente continua</td>"), std::string::npos);
}

// What is not defined is left empty, as a number would be misread: the phase and level of the
// harmonics of the half-wave that vanish (odd k above 1), and the THD and power share of a
// signal that is zero.
TEST(AnalysisTable, leavesWhatIsNotDefinedEmpty)
{
    AnalysisState s = AnalysisOf({.v = 1, .d = 0.5, .n = 1000, .h = 5, .f = 1000});
    FindSpectrumPeak(s);
    ComputeMeasures(s);
    auto rows = ParseCsv(Table(s));
    for (int k = 1; k <= 5; ++k) {
        const bool vanishes = k == 3 || k == 5;
        EXPECT_EQ(rows[1 + k][11].empty(), vanishes) << k;
        EXPECT_EQ(rows[1 + k][12].empty(), vanishes) << k;
    }
    EXPECT_EQ(rows[2][12], "0"); // the largest line
    s.Amplitude = 0;
    ComputeSpectrum(s);
    FindSpectrumPeak(s);
    ComputeMeasures(s);
    rows = ParseCsv(Table(s));
    const auto &measures = rows[rows.size() - 2];
    EXPECT_EQ(measures[0], "misure");
    EXPECT_EQ(measures[13], "0");
    EXPECT_EQ(measures[14], "");
    EXPECT_EQ(measures[15], "");
}

// Every reader takes a result through the one reader of the list: it reads nothing, rather than
// past an array, at an index outside the values, in an array not computed yet, or in a measure
// before the measures are found; and the phases and levels only once the noise is known.
TEST(AnalysisTable, readsEveryResultOnlyWhereItHasAValue)
{
    AnalysisState s = AnalysisOf({.v = 1, .d = 0.5, .n = 8, .h = 3, .f = 1000});
    FindSpectrumPeak(s);
    // At index 1, before and after the measures: the sum is not computed, the phase and the level
    // wait for the noise, the measures for their pass.
    struct Expected
    {
        std::string_view heading;
        bool before, after; // a value at index 1
    };
    const std::vector<Expected> table = {
        {"componente continua [V]", true, true},
        {"a_k [V]", true, true},
        {"b_k [V]", true, true},
        {"|S_k| [V]", true, true},
        {"s(i) [V]", true, true},
        {"somma armoniche [V]", false, false},
        {"fase [\xC2\xB0]", false, true},
        {"livello [dB]", false, true},
        {"valore efficace [V]", false, true},
        {"THD [%]", false, true},
        {"potenza nelle armoniche [%]", false, true},
        // This half-wave of 8 samples carries 86.4 % in the DC component and harmonic 1, 98.9 %
        // up to harmonic 2 and no more up to 3: no bandwidth at 99 %.
        {"banda 90 % [armoniche]", false, true},
        {"banda 95 % [armoniche]", false, true},
        {"banda 99 % [armoniche]", false, false},
        {"banda 90 % [kHz]", false, true},
        {"banda 95 % [kHz]", false, true},
        {"banda 99 % [kHz]", false, false},
    };
    ASSERT_EQ(table.size(), AnalysisResultList.size());
    for (const bool measured : {false, true}) {
        if (measured)
            ComputeMeasures(s);
        for (std::size_t r = 0; r < table.size(); ++r) {
            const ResultDeclaration &result = AnalysisResultList[r];
            ASSERT_EQ(result.heading, table[r].heading);
            EXPECT_EQ(std::isfinite(ReadResult(s, result, 1)),
                      measured ? table[r].after : table[r].before)
                << result.heading << (measured ? " after" : " before");
            // Outside the values, an indexed result reads nothing.
            if (result.scope == ResultScope::Harmonic || result.scope == ResultScope::Sample) {
                for (const std::int64_t index :
                     {std::int64_t {-1}, std::int64_t {s.SampleCount} + 2,
                      std::int64_t {1} << 40}) {
                    EXPECT_TRUE(std::isnan(ReadResult(s, result, index)))
                        << result.heading << " at " << index;
                }
            }
        }
    }
}

TEST(AnalysisTable, holdsTheHeaderAloneBeforeAnyAnalysis)
{
    const AnalysisState empty;
    const AnalysisTable table(empty);
    ASSERT_EQ(table.RowCount(), 1);
    std::string text;
    table.AppendRows(0, 1, text);
    EXPECT_EQ(ParseCsv(text).size(), 1u);
}

// A negative harmonic count shows no harmonics; every sample is still there, from sample 0, with
// the closed form's value: Vmax sin(PI i / (N D)) up to i = N D with the program's PI, zero after.
TEST(AnalysisTable, keepsEverySampleUnderANegativeHarmonicCount)
{
    AnalysisState s;
    s.SampleCount = 4;
    s.DutyCycle = 0.5;
    s.Amplitude = 1;
    s.HarmonicCount = -1;
    s.Frequency = 1000;
    ComputeSpectrum(s);
    const AnalysisTable table(s);
    std::string text;
    table.AppendRows(0, table.RowCount(), text);
    const auto rows = ParseCsv(text);
    const auto column = [&](const char *name) {
        return std::size_t(std::find(rows[0].begin(), rows[0].end(), name) - rows[0].begin());
    };
    const std::size_t index = column("i"), signal = column("s(i) [V]");
    ASSERT_LT(std::max(index, signal), rows[0].size());
    std::vector<std::vector<std::string>> samples;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(samples),
                 [](const auto &row) { return row[0] == "campione"; });
    ASSERT_EQ(samples.size(), 4u);
    // The program's truncated PI, written out here as the definition gives it; not the true pi.
    constexpr double ProgramPi = 3.14159265358979;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(samples[i][index], std::to_string(i));
        const double expected = i <= 2 ? std::sin(ProgramPi * i / (4 * 0.5)) : 0;
        EXPECT_DOUBLE_EQ(std::strtod(samples[i][signal].c_str(), nullptr), expected) << i;
    }
}

} // namespace
