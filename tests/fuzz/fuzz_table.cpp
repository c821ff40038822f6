// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The analysis as a CSV table on any analysis state the bytes make: extreme, subnormal and
// non-finite numbers, one sample, no harmonic, a zero frequency; written in chunks of any size.
// Every row has the header's fields, and every number reads back to the same double.
#include "core/export/analysis_table.h"
#include "core/spectrum/spectrum.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Double(FuzzInput &in)
{
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits = bits << 8 | in.Byte();
    return std::bit_cast<double>(bits);
}

std::vector<std::string> Split(const std::string &text, const std::string &separator)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string::npos;
         from = at + separator.size())
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

// The field holds the value in a text that reads back to its very bits, or nothing when there is
// no finite value to write.
void CheckNumber(const std::string &field, double value, const char *what, std::int64_t row)
{
    if (!std::isfinite(value)) {
        FUZZ_CHECK(field.empty(), "%s in row %lld: \"%s\" for a non-finite value", what,
                   static_cast<long long>(row), field.c_str());
        return;
    }
    char *end = nullptr;
    const double read = std::strtod(field.c_str(), &end);
    FUZZ_CHECK(!field.empty() && *end == '\0', "%s in row %lld: \"%s\" is not a number", what,
               static_cast<long long>(row), field.c_str());
    FUZZ_CHECK(std::bit_cast<std::uint64_t>(read) == std::bit_cast<std::uint64_t>(value),
               "%s in row %lld: \"%s\" reads back as %.17g, not %.17g", what,
               static_cast<long long>(row), field.c_str(), read, value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    AnalysisState s;
    const std::uint8_t kind = in.Byte();
    const bool analysed = kind != 0;
    const bool summed = kind % 2 == 1; // the sum of the harmonics computed
    s.SampleCount = 1 + in.Byte() % 64;
    s.HarmonicCount = (static_cast<int>(in.Byte()) - 32) / 4.0; // halves, quarters, negatives
    s.Frequency = in.Byte() % 4 == 0 ? 0 : Double(in);
    const std::int64_t harmonics = analysed ? std::max(0, RoundToCount(s.HarmonicCount)) : 0;
    if (analysed) {
        const auto size
            = static_cast<std::size_t>(std::max<std::int64_t>(s.SampleCount, harmonics) + 2);
        s.Samples = RealArray(size);
        s.Magnitudes = RealArray(size);
        s.CosCoefficients = RealArray(size);
        s.SinCoefficients = RealArray(size);
        s.MeanValue = Double(in);
        if (summed)
            s.HarmonicSum = RealArray(static_cast<std::size_t>(s.SampleCount));
        for (RealArray *array :
             {&s.Samples, &s.Magnitudes, &s.CosCoefficients, &s.SinCoefficients, &s.HarmonicSum})
            for (double &value : *array)
                value = in.Empty() ? 0 : Double(in);
    }

    const AnalysisTable table(s);
    const std::int64_t rows = table.RowCount();
    FUZZ_CHECK(rows == (analysed ? 4 + harmonics + s.SampleCount : 1), "%lld rows",
               static_cast<long long>(rows));
    // In chunks of the sizes the bytes give, as the export writes it.
    std::string text;
    for (std::int64_t row = 0; row < rows;) {
        const std::int64_t count = std::min<std::int64_t>(rows - row, 1 + in.Byte() % 7);
        table.AppendRows(row, count, text);
        row += count;
    }
    FUZZ_CHECK(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0,
               "the last row is not ended");
    std::vector<std::string> lines = Split(text.substr(0, text.size() - 2), "\r\n");
    FUZZ_CHECK(static_cast<std::int64_t>(lines.size()) == rows, "%zu lines for %lld rows",
               lines.size(), static_cast<long long>(rows));
    // Past the header, no field needs quotes.
    for (std::size_t line = 1; line < lines.size(); ++line)
        FUZZ_CHECK(lines[line].find_first_of("\r\n\"") == std::string::npos, "a stray character");

    const double n = static_cast<double>(s.SampleCount);
    for (std::int64_t row = 0; row < rows; ++row) {
        if (row == 0)
            continue;
        const std::vector<std::string> f = Split(lines[static_cast<std::size_t>(row)], ",");
        FUZZ_CHECK(f.size() == AnalysisTable::ColumnCount, "row %lld has %zu fields",
                   static_cast<long long>(row), f.size());
        if (row == 1) {
            FUZZ_CHECK(f[0] == "componente continua", "row 1 is %s", f[0].c_str());
            CheckNumber(f[1], s.MeanValue, "DC", row);
        } else if (row == rows - 2) {
            FUZZ_CHECK(f[0] == "misure", "row %lld is %s", static_cast<long long>(row),
                       f[0].c_str());
        } else if (row == rows - 1) {
            FUZZ_CHECK(f[0] == "parametri", "row %lld is %s", static_cast<long long>(row),
                       f[0].c_str());
            CheckNumber(f[AnalysisTable::FirstParameterColumn + 2], s.Frequency / 1000, "f", row);
        } else if (const std::int64_t k = row - 1; k <= harmonics) {
            FUZZ_CHECK(f[0] == "armonica" && f[2] == std::to_string(k), "row %lld: %s %s",
                       static_cast<long long>(row), f[0].c_str(), f[2].c_str());
            CheckNumber(f[3], static_cast<double>(k) * s.Frequency / 1000, "frequency", row);
            CheckNumber(f[4], s.CosCoefficients[k], "a_k", row);
            CheckNumber(f[5], s.SinCoefficients[k], "b_k", row);
            CheckNumber(f[6], s.Magnitudes[k], "|S_k|", row);
        } else {
            const std::int64_t i = k - harmonics - 1;
            FUZZ_CHECK(f[0] == "campione" && f[7] == std::to_string(i), "row %lld: %s %s",
                       static_cast<long long>(row), f[0].c_str(), f[7].c_str());
            CheckNumber(f[8], 1000000 / s.Frequency * static_cast<double>(i) / n, "time", row);
            CheckNumber(f[9], s.Samples[i], "s(i)", row);
            if (summed)
                CheckNumber(f[10], s.HarmonicSum[i], "sum", row);
            else
                FUZZ_CHECK(f[10].empty(), "row %lld: a sum never computed",
                           static_cast<long long>(row));
        }
    }
    return 0;
}
