// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/analysis_table.h"

#include "core/spectrum/spectrum.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// One column per quantity, so that each holds one meaning and one unit; a row fills the columns
// of its kind and leaves the others empty.
constexpr std::array<TableColumn, AnalysisTable::ColumnCount> TableColumns = {{
    {"grandezza", true, true, true},
    {"componente continua [V]", true, false, false},
    {"k", false, true, false},
    {"frequenza [kHz]", false, true, false},
    {"a_k [V]", false, true, false},
    {"b_k [V]", false, true, false},
    {"|S_k| [V]", false, true, false},
    {"i", false, false, true},
    {"tempo [\xC2\xB5s]", false, false, true},
    {"s(i) [V]", false, false, true},
    {"somma armoniche [V]", false, false, true},
}};

TableCell Text(std::string_view text)
{
    return {TableCell::Kind::Text, text};
}

TableCell Count(std::int64_t value)
{
    return {TableCell::Kind::Count, {}, value};
}

TableCell Number(double value)
{
    if (!std::isfinite(value)) // a time over a zero frequency: there is none
        return {};
    return {TableCell::Kind::Number, {}, 0, value};
}

// RFC 4180 quotes a field holding a comma, a quote or a line end.
void CsvText(std::string_view text, std::string &out)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

void AppendShortestNumber(double value, std::string &out)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

void AppendCount(std::int64_t value, std::string &out)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

const std::array<TableColumn, AnalysisTable::ColumnCount> &AnalysisTable::Columns()
{
    return TableColumns;
}

AnalysisTable::AnalysisTable(const AnalysisState &state)
    : state_(state),
      harmonics_(state.Samples.empty() ? 0 : std::max(0, RoundToCount(state.HarmonicCount))),
      samples_(state.Samples.empty() ? 0 : state.SampleCount)
{ }

std::int64_t AnalysisTable::RowCount() const
{
    return state_.Samples.empty() ? 1 : 2 + harmonics_ + samples_;
}

TableRow AnalysisTable::KindOf(std::int64_t row) const
{
    return row <= 1             ? TableRow::DcComponent
        : row <= 1 + harmonics_ ? TableRow::Harmonic
                                : TableRow::Sample;
}

AnalysisTable::Row AnalysisTable::Cells(std::int64_t row) const
{
    Row cells;
    if (row == 0) {
        for (std::size_t c = 0; c < ColumnCount; ++c)
            cells[c] = Text(TableColumns[c].name);
    } else if (row == 1) {
        cells[0] = Text("componente continua");
        cells[1] = Number(state_.MeanValue);
    } else if (const std::int64_t k = row - 1; k <= harmonics_) {
        cells[0] = Text("armonica");
        cells[2] = Count(k);
        cells[3] = Number(static_cast<double>(k) * state_.Frequency / 1000);
        cells[4] = Number(state_.CosCoefficients[k]);
        cells[5] = Number(state_.SinCoefficients[k]);
        cells[6] = Number(state_.Magnitudes[k]);
    } else {
        const std::int64_t i = k - harmonics_ - 1;
        const double periodMicroseconds = 1000000 / state_.Frequency;
        cells[0] = Text("campione");
        cells[7] = Count(i);
        cells[8] = Number(periodMicroseconds * static_cast<double>(i)
                          / static_cast<double>(state_.SampleCount));
        cells[9] = Number(state_.Samples[i]);
        if (state_.HarmonicSum.size() > static_cast<std::size_t>(i))
            cells[10] = Number(state_.HarmonicSum[i]);
    }
    return cells;
}

void AnalysisTable::AppendRows(std::int64_t first, std::int64_t count, std::string &out) const
{
    for (std::int64_t row = first; row < first + count; ++row) {
        const Row cells = Cells(row);
        for (std::size_t c = 0; c < ColumnCount; ++c) {
            if (c > 0)
                out += ',';
            const TableCell &cell = cells[c];
            if (cell.kind == TableCell::Kind::Text)
                CsvText(cell.text, out);
            else if (cell.kind == TableCell::Kind::Count)
                AppendCount(cell.count, out);
            else if (cell.kind == TableCell::Kind::Number)
                AppendShortestNumber(cell.number, out);
        }
        out += "\r\n";
    }
}
