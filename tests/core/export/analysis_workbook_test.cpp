// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The workbook as written, read back out of its zip with Python's zipfile: every number the
// shortest text that reads back to the table's double, and a full disk under the library's
// temporary files told as a failure, never as a workbook written.
#include "core/export/analysis_table.h"
#include "core/export/analysis_workbook.h"
#include "core/spectrum/harmonic_sum.h"
#include "core/spectrum/reference_trace.h"
#include "core/spectrum/signal_measures.h"
#include "core/spectrum/spectrum.h"
#include "core/state/task_control.h"
#include "tests/core/platform/small_disk.h"

#include "tests/support/case_names.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/zip_entries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Shortest(double value)
{
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

std::string Folder()
{
    return NewTemporaryFolder("analysis_workbook");
}

AnalysisState Analysis(int samples, double harmonics, double duty = 0.5, double amplitude = 1)
{
    AnalysisState s;
    s.SampleCount = samples;
    s.DutyCycle = duty;
    s.Amplitude = amplitude;
    s.Frequency = 1000;
    s.HarmonicCount = harmonics;
    ComputeSpectrum(s);
    s.HarmonicSum = ComputeHarmonicSum(s).value();
    return s;
}

WorkbookResult Write(const AnalysisState &s, const std::string &path, int &error)
{
    TaskControl control;
    return WriteAnalysisWorkbook(AnalysisTable(s), path, control, error);
}

// Doubles whose sixteen significant digits read back to another double, or that sit at the ends
// of the range, each with its shortest text as Python's repr writes it.
struct Planted
{
    double value;
    const char *text;
};
const Planted PlantedNumbers[] = {
    {0.1 + 0.2, "0.30000000000000004"},
    {1.0 / 3, "0.3333333333333333"},
    {2.0 / 3, "0.6666666666666666"},
    {std::numeric_limits<double>::denorm_min(), "5e-324"}, // 2^-1074
    {-0.0, "-0"},
    {1e300, "1e+300"},
    {1.0000000000000002, "1.0000000000000002"},
    {-2.2250738585072014e-308, "-2.2250738585072014e-308"},
    {std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
};

// libxlsxwriter writes its doubles with "%.16G" unless the program's conversion takes over: each
// number must come out as the shortest text of the table's double, those above among them.
TEST(AnalysisWorkbook, writesEveryNumberAsTheShortestTextOfItsDouble)
{
    AnalysisState s = Analysis(12, 3);
    for (std::size_t p = 0; p < std::size(PlantedNumbers); ++p) {
        s.Samples[p] = PlantedNumbers[p].value;
        s.HarmonicSum[p + 1] = -PlantedNumbers[p].value;
    }
    s.MeanValue = 0.1 + 0.7; // 0.7999999999999999
    s.CosCoefficients[1] = 1.0 / 3;
    const std::string folder = Folder();
    const std::string path = folder + "/numeri.xlsx";
    int error = -1;
    ASSERT_EQ(Write(s, path, error), WorkbookResult::Written);
    EXPECT_EQ(error, 0);

    std::vector<std::string> written = SheetValues(path);
    std::vector<std::string> expected;
    const AnalysisTable table(s);
    for (std::int64_t row = 1; row < table.RowCount(); ++row)
        for (const TableCell &cell : table.Cells(row))
            if (cell.kind == TableCell::Kind::Number)
                expected.push_back(Shortest(cell.number));
            else if (cell.kind == TableCell::Kind::Index)
                expected.push_back(Shortest(double(cell.index)));
#ifdef _WIN32
    // The library's own digit writer, built in for Windows, writes up to 17 digits that read
    // back to each double, though not always the nearest of them (0.30000000000000007 for
    // 0.30000000000000004), and a zero without its sign: every number reads back to its double.
    const auto readBack = [](const std::vector<std::string> &texts) {
        std::vector<std::uint64_t> bits;
        for (const std::string &text : texts) {
            double value = std::numeric_limits<double>::quiet_NaN();
            std::from_chars(text.data(), text.data() + text.size(), value);
            bits.push_back(std::bit_cast<std::uint64_t>(value == 0 ? 0.0 : value));
        }
        std::sort(bits.begin(), bits.end());
        return bits;
    };
    EXPECT_EQ(readBack(written), readBack(expected));
#else
    std::sort(written.begin(), written.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(written, expected);
    for (const Planted &p : PlantedNumbers) {
        EXPECT_NE(std::find(written.begin(), written.end(), p.text), written.end()) << p.text;
        const std::string negated = p.text[0] == '-' ? p.text + 1 : '-' + std::string(p.text);
        EXPECT_NE(std::find(written.begin(), written.end(), negated), written.end()) << negated;
    }
    EXPECT_NE(std::find(written.begin(), written.end(), "0.7999999999999999"), written.end());
#endif
    std::filesystem::remove_all(folder);
}

// Sheet `sheet` (from 0) of SheetGrid's lines, as rows of cells: "#", its header, its rows.
std::vector<std::vector<std::string>> SheetRows(const std::vector<std::string> &lines, int sheet)
{
    auto start = lines.begin();
    for (int s = 0; s <= sheet && start != lines.end(); ++s)
        start = std::find(s == 0 ? start : std::next(start), lines.end(), "#");
    std::vector<std::vector<std::string>> rows;
    if (start == lines.end())
        return rows;
    for (auto line = std::next(start); line != lines.end() && *line != "#"; ++line) {
        rows.emplace_back(1);
        for (const char c : *line)
            if (c == '\t')
                rows.back().emplace_back();
            else
                rows.back().back().push_back(c);
    }
    return rows;
}

// The parameters have a sheet of their own, the third: their names over the typed values, each
// the same double to the bit; the first sheet holds the measures' row among the harmonics.
TEST(AnalysisWorkbook, recordsTheParametersInASheetOfTheirOwn)
{
    AnalysisState s = Analysis(10, 3.5, 0.3, -2.5);
    s.Frequency = 1234.5;
    s.PeriodCount = 2.7;
    s.Shape = PulseShape::Sawtooth; // named in Italian, as the input window names it
    ComputeMeasures(s);
    const std::string folder = Folder();
    const std::string path = folder + "/parametri.xlsx";
    int error = -1;
    ASSERT_EQ(Write(s, path, error), WorkbookResult::Written);
    const auto lines = SheetGrid(path);
    const auto parameters = SheetRows(lines, 2);
    ASSERT_EQ(parameters.size(), 2u);
    EXPECT_EQ(parameters[0],
              (std::vector<std::string> {"D.C.", "Vmax [V]", "f [kHz]", "N", "M", "Np", "forma",
                                         "filtro", "fc o f0 [kHz]", "Q"}));
    EXPECT_EQ(parameters[1],
              (std::vector<std::string> {"0.3", "-2.5", Shortest(1234.5 / 1000), "10", "3.5", "2.7",
                                         "dente di sega", "nessuno"}));
    const auto harmonics = SheetRows(lines, 0);
    ASSERT_GE(harmonics.size(), 3u);
    EXPECT_EQ(harmonics[1][0], "componente continua");
    EXPECT_EQ(harmonics[2][0], "armonica");
    const auto &measures = harmonics.back(); // after the harmonics, which keep their rows
    EXPECT_EQ(measures[0], "misure");
    const auto at = [&](const char *name) {
        return std::size_t(std::find(harmonics[0].begin(), harmonics[0].end(), name)
                           - harmonics[0].begin());
    };
    ASSERT_LT(at("THD [%]"), measures.size());
    EXPECT_EQ(measures[at("THD [%]")], Shortest(*s.HarmonicDistortion));
    EXPECT_EQ(measures[at("valore efficace [V]")], Shortest(*s.RmsValue));
    EXPECT_EQ(measures[at("potenza nelle armoniche [%]")], Shortest(*s.PowerShare));
    // A bandwidth that the harmonics shown do not reach leaves its cells empty.
    const auto cell = [&](const char *name) {
        return at(name) < measures.size() ? measures[at(name)] : std::string();
    };
    for (const auto &[share, value] :
         {std::pair {"90", s.BandwidthAt90}, std::pair {"95", s.BandwidthAt95},
          std::pair {"99", s.BandwidthAt99}}) {
        EXPECT_EQ(cell(("banda " + std::string(share) + " % [armoniche]").c_str()),
                  value ? Shortest(*value) : "")
            << share;
        EXPECT_EQ(cell(("banda " + std::string(share) + " % [kHz]").c_str()),
                  value ? Shortest(*value * 1234.5 / 1000) : "")
            << share;
    }
    // With a reference held (more samples and harmonics), its measures after the analysis's and
    // its parameters after the analysis's, in the same sheets, and as many samples' rows as it
    // has: the sheets' sizes as the workbook's check counts them.
    AnalysisState r = Analysis(16, 5, 0.5, 3);
    r.Shape = PulseShape::Rectangular;
    ComputeMeasures(r);
    const HeldReference held = HoldReference(r);
    const AnalysisTable table(s, {}, nullptr, &held);
    const std::string withReference = folder + "/riferimento.xlsx";
    TaskControl control;
    ASSERT_EQ(WriteAnalysisWorkbook(table, withReference, control, error), WorkbookResult::Written);
    const auto grid = SheetGrid(withReference);
    const auto both = SheetRows(grid, 2);
    ASSERT_EQ(both.size(), 3u);
    EXPECT_EQ(both[2][0], "0.5");
    EXPECT_EQ(both[2][1], "3");
    EXPECT_EQ(both[2][6], "rettangolare");
    const auto lines2 = SheetRows(grid, 0);
    EXPECT_EQ(lines2[lines2.size() - 2][0], "misure");
    EXPECT_EQ(lines2.back()[0], "misure del riferimento");
    EXPECT_EQ(lines2.size(), 1u + 1 + 5 + 2);
    EXPECT_EQ(SheetRows(grid, 1).size(), 1u + 16);
    EXPECT_EQ(WorkbookSheetRows(table), 17);
    std::filesystem::remove_all(folder);
}

// The closed form of the signal: Vmax sin(PI i / (N D)) up to i = N D, zero after, with the
// program's own PI, short of pi, so that the half-wave's last sample is sin(PI) = 3.2e-15 V, not 0.
double Signal(int i, int samples, double duty, double amplitude)
{
    // The program's truncated PI, written out here as the definition gives it; not the true pi.
    constexpr double ProgramPi = 3.14159265358979;
    return i <= samples * duty ? amplitude * std::sin(ProgramPi * i / (samples * duty)) : 0;
}

// A negative harmonic count shows no harmonics; every sample is still there, from sample 0.
TEST(AnalysisWorkbook, keepsEverySampleUnderANegativeHarmonicCount)
{
    const int n = 4;
    const AnalysisState s = Analysis(n, -1, 0.5, 1);
    const std::string folder = Folder();
    const std::string path = folder + "/campioni.xlsx";
    int error = -1;
    ASSERT_EQ(Write(s, path, error), WorkbookResult::Written);
    // The samples' sheet is the second.
    const auto rows = SheetRows(SheetGrid(path), 1);
    ASSERT_EQ(rows.size(), std::size_t(1 + n));
    const auto column = [&](const char *name) {
        return std::size_t(std::find(rows[0].begin(), rows[0].end(), name) - rows[0].begin());
    };
    const std::size_t index = column("i"), signal = column("s(i) [V]");
    ASSERT_LT(index, rows[0].size());
    ASSERT_LT(signal, rows[0].size());
    for (int i = 0; i < n; ++i) {
        const auto &row = rows[std::size_t(1 + i)];
        ASSERT_GT(row.size(), std::max(index, signal)) << "sample " << i;
        EXPECT_EQ(row[index], std::to_string(i));
        EXPECT_DOUBLE_EQ(std::strtod(row[signal].c_str(), nullptr), Signal(i, n, 0.5, 1))
            << "sample " << i;
    }
    std::filesystem::remove_all(folder);
}

// A disk under the library's temporary files that fills up: while the rows are written, or only
// as the library packs them, when its first parts already find it full (a 5 KB workbook with
// an empty first sheet, which it called written).
struct FullDiskCase
{
    const char *name;
    std::size_t kilobytes;
    int samples;
};

void PrintTo(const FullDiskCase &c, std::ostream *out)
{
    *out << c.name;
}

class FullDisk : public testing::TestWithParam<FullDiskCase>
{
};

TEST_P(FullDisk, failsTheWorkbookWithTheDiskFull)
{
    const std::string folder = Folder();
    const std::string path = folder + "/foglio.xlsx";
    const AnalysisState s = Analysis(GetParam().samples, 10);
    int error = 0;
    {
        const SmallDisk disk(GetParam().kilobytes);
        if (disk.Folder().empty())
            GTEST_SKIP() << "no small disk to fill: " << disk.WhyNot();
        EXPECT_EQ(Write(s, path, error), WorkbookResult::Failed);
    }
    EXPECT_EQ(error, ENOSPC);
    // The same workbook where there is room: the disk was what failed it.
    error = -1;
    EXPECT_EQ(Write(s, path, error), WorkbookResult::Written);
    EXPECT_EQ(error, 0);
    std::filesystem::remove_all(folder);
}

const FullDiskCase FullDiskCases[] = {
    {"full as the rows are written", 64, 1000},
    {"full as the library packs ten samples", 4, 10},
    {"full as the library packs a hundred samples", 12, 100},
    {"full as the library copies a sheet", 16, 100},
};

INSTANTIATE_TEST_SUITE_P(Disks, FullDisk, testing::ValuesIn(FullDiskCases), NamedAfterItsCase());

} // namespace
