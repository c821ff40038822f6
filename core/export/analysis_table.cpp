// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/analysis_table.h"

#include "core/spectrum/spectrum.h"
#include "core/state/harmonic_readings.h"
#include "core/state/measured_signal.h"
#include "core/texts/joined_text.h"
#include "core/texts/units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <complex>
#include <numbers>

namespace {

// The column of each declared result, in the list's order.
constexpr std::array<std::size_t, AnalysisResultList.size()> ResultColumns = [] {
    std::array<std::size_t, AnalysisResultList.size()> columns {};
    std::array<std::size_t, 3> next
        = {AnalysisTable::FirstAnalysisColumn, AnalysisTable::FirstHarmonicColumn,
           AnalysisTable::FirstSampleColumn};
    std::size_t appended = AnalysisTable::FirstAppendedColumn;
    for (std::size_t r = 0; r < AnalysisResultList.size(); ++r)
        columns[r] = AnalysisResultList[r].appended
            ? appended++
            : next[static_cast<std::size_t>(AnalysisResultList[r].scope)]++;
    return columns;
}();

// The row that fills a result's column.
constexpr TableRow RowOf(ResultScope scope)
{
    return scope == ResultScope::Analysis ? TableRow::DcComponent
        : scope == ResultScope::Measure   ? TableRow::Measures
        : scope == ResultScope::Harmonic  ? TableRow::Harmonic
                                          : TableRow::Sample;
}

TableCell Text(std::string_view text)
{
    return {TableCell::Kind::Text, text};
}

TableCell Index(std::int64_t value)
{
    return {TableCell::Kind::Index, {}, value};
}

TableCell Number(double value)
{
    // A time over a zero frequency, a phase that is not defined: there is none.
    if (!std::isfinite(value))
        return {};
    return {TableCell::Kind::Number, {}, 0, value};
}

// The parameters an analysis is computed from, headed by their symbols and units as the parameter
// table writes them, then the pulse shape (or "misurato" and the file's name).
constexpr std::string_view ShapeHeading = "forma";

TableCell ParameterCell(const AnalysisParameters &parameters, std::size_t p)
{
    return p < AnalysisParameterRows.size() ? Number(AnalysisParameterRows[p].stored(parameters))
                                            : Text(SignalName(parameters));
}

// The headings of the harmonics' frequency and the samples' time, in the units' one spelling.
constexpr JoinedText<char, 24> FrequencyHeading {u"frequenza [", KilohertzName, u"]"};
constexpr JoinedText<char, 16> TimeHeading {u"tempo [", MicrosecondName, u"]"};

constexpr JoinedText<char, 24> FilterFrequencyHeading {u"fc o f0 [", KilohertzName, u"]"};
constexpr JoinedText<char, 32> ReferenceFrequencyHeading {u"rif. frequenza [", KilohertzName, u"]"};
constexpr JoinedText<char, 24> ReferenceTimeHeading {u"rif. tempo [", MicrosecondName, u"]"};

// One column per quantity, so that each holds one meaning and one unit; a row fills the columns
// of its kind and leaves the others empty.
constexpr std::array<TableColumn, AnalysisTable::ColumnCount> TableColumns = [] {
    using Table = AnalysisTable;
    std::array<TableColumn, Table::ColumnCount> columns {};
    constexpr unsigned harmonic = TableColumn::Bit(TableRow::Harmonic);
    constexpr unsigned sample = TableColumn::Bit(TableRow::Sample);
    columns[Table::KindColumn] = {"grandezza", ~0u};
    columns[Table::HarmonicNumberColumn] = {"k", harmonic};
    columns[Table::FrequencyColumn] = {FrequencyHeading.View(), harmonic};
    columns[Table::SampleIndexColumn] = {"i", sample};
    columns[Table::TimeColumn] = {TimeHeading.View(), sample};
    for (std::size_t r = 0; r < AnalysisResultList.size(); ++r) {
        const ResultDeclaration &result = AnalysisResultList[r];
        columns[ResultColumns[r]] = {result.heading, TableColumn::Bit(RowOf(result.scope))};
    }
    for (std::size_t p = 0; p < Table::ParameterCount; ++p)
        columns[Table::FirstParameterColumn + p]
            = {p < AnalysisParameterRows.size() ? ParameterHeadings[p].View() : ShapeHeading,
               TableColumn::Bit(TableRow::Parameters)};
    constexpr unsigned parameters = TableColumn::Bit(TableRow::Parameters);
    const std::array<TableColumn, Table::FilterColumnCount> filter = {{
        {"|H|", harmonic},
        {"arg H [\xC2\xB0]", harmonic},
        {"|Y| [V]", harmonic},
        {"fase di Y [\xC2\xB0]", harmonic},
        {"y(t) [V]", sample},
        {"filtro", parameters},
        {FilterFrequencyHeading.View(), parameters},
        {"Q", parameters},
    }};
    for (std::size_t c = 0; c < filter.size(); ++c)
        columns[Table::FirstFilterColumn + c] = filter[c];
    const std::array<TableColumn, Table::ReferenceColumnCount> reference = {{
        {ReferenceFrequencyHeading.View(), harmonic},
        {"rif. |S| [V]", harmonic},
        {"rif. fase [\xC2\xB0]", harmonic},
        {ReferenceTimeHeading.View(), sample},
        {"rif. s(t) [V]", sample},
        {"rif. componente continua [V]", TableColumn::Bit(TableRow::DcComponent)},
    }};
    for (std::size_t c = 0; c < reference.size(); ++c)
        columns[Table::FirstReferenceColumn + c] = reference[c];
    return columns;
}();

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

void AppendIndex(std::int64_t value, std::string &out)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

const std::array<TableColumn, AnalysisTable::ColumnCount> &AnalysisTable::Columns()
{
    return TableColumns;
}

AnalysisTable::AnalysisTable(const AnalysisState &state, const FilterSettings &filter,
                             const AnalysisState *output, const HeldReference *reference)
    : state_(state), filter_(output ? filter : FilterSettings {}), output_(output),
      reference_(reference && !reference->analysis.Samples.empty() ? reference : nullptr),
      ownHarmonics_(HarmonicsHeld(state)),
      ownSamples_(state.Samples.empty() ? 0 : state.SampleCount), harmonics_(ownHarmonics_),
      samples_(ownSamples_)
{
    if (reference_) {
        harmonics_ = std::max(harmonics_, HarmonicsHeld(reference_->analysis));
        samples_ = std::max<std::int64_t>(samples_, reference_->analysis.SampleCount);
    }
}

void AnalysisTable::ReferenceCells(Row &cells, TableRow kind, std::int64_t k, std::int64_t i) const
{
    if (!reference_)
        return;
    const AnalysisState &held = reference_->analysis;
    TableCell *column = &cells[FirstReferenceColumn];
    if (kind == TableRow::DcComponent)
        column[5] = Number(held.MeanValue);
    if (kind == TableRow::Harmonic && k <= HarmonicsHeld(held)) {
        column[0] = Number(Kilohertz(static_cast<double>(k) * held.Frequency));
        column[1] = Number(held.Magnitudes[static_cast<std::size_t>(k)]);
        column[2] = Number(PhaseDegrees(held, k));
    }
    if (kind == TableRow::Sample && i < held.SampleCount) {
        column[3] = Number(Microseconds(1, held.Frequency) * static_cast<double>(i)
                           / static_cast<double>(held.SampleCount));
        column[4] = Number(held.Samples[static_cast<std::size_t>(i)]);
    }
}

AnalysisTable::Row AnalysisTable::ReferenceRow(TableRow kind) const
{
    const AnalysisState &held = reference_->analysis;
    Row cells;
    if (kind == TableRow::Measures) {
        cells[KindColumn] = Text("misure del riferimento");
        for (std::size_t r = 0; r < AnalysisResultList.size(); ++r)
            if (RowOf(AnalysisResultList[r].scope) == TableRow::Measures)
                cells[ResultColumns[r]] = Number(ReadResult(held, AnalysisResultList[r], 0));
        return cells;
    }
    cells[KindColumn] = Text("parametri del riferimento");
    for (std::size_t p = 0; p < ParameterCount; ++p)
        cells[FirstParameterColumn + p] = ParameterCell(held, p);
    const FilterDeclaration &declared = DeclarationOf(reference_->filter.kind);
    cells[FirstFilterColumn + 5] = Text(declared.name);
    if (declared.parameterCount >= 1)
        cells[FirstFilterColumn + 6] = Number(Kilohertz(reference_->filter.frequency));
    if (declared.parameterCount >= 2)
        cells[FirstFilterColumn + 7] = Number(reference_->filter.quality);
    return cells;
}

void AnalysisTable::FilterCells(Row &cells, TableRow kind, std::int64_t k, std::int64_t i) const
{
    TableCell *filter = &cells[FirstFilterColumn];
    if (kind == TableRow::Parameters) {
        const FilterDeclaration &declared = DeclarationOf(filter_.kind);
        filter[5] = Text(declared.name);
        if (declared.parameterCount >= 1)
            filter[6] = Number(Kilohertz(filter_.frequency));
        if (declared.parameterCount >= 2)
            filter[7] = Number(filter_.quality);
    }
    if (!output_)
        return;
    if (kind == TableRow::Harmonic && k <= ownHarmonics_
        && k < static_cast<std::int64_t>(output_->Magnitudes.size())) {
        const std::complex<double> h
            = FilterResponse(filter_, static_cast<double>(k) * state_.Frequency);
        filter[0] = Number(std::abs(h));
        filter[1] = Number(std::arg(h) * 180 / std::numbers::pi);
        filter[2] = Number(output_->Magnitudes[static_cast<std::size_t>(k)]);
        filter[3] = Number(PhaseDegrees(*output_, k));
    }
    if (kind == TableRow::Sample && i < ownSamples_
        && i < static_cast<std::int64_t>(output_->Samples.size()))
        filter[4] = Number(output_->Samples[static_cast<std::size_t>(i)]);
}

std::int64_t AnalysisTable::RowCount() const
{
    return state_.Samples.empty()
        ? 1
        : HarmonicRowsStart + harmonics_ + samples_ + 2 + (reference_ ? 2 : 0);
}

TableRow AnalysisTable::KindOf(std::int64_t row) const
{
    const std::int64_t samplesEnd = HarmonicRowsStart + harmonics_ + samples_;
    return row <= 1                                  ? TableRow::DcComponent
        : row < HarmonicRowsStart + harmonics_       ? TableRow::Harmonic
        : row < samplesEnd                           ? TableRow::Sample
        : row == samplesEnd || row == samplesEnd + 2 ? TableRow::Measures
                                                     : TableRow::Parameters;
}

AnalysisTable::Row AnalysisTable::Cells(std::int64_t row) const
{
    Row cells;
    if (row == 0) {
        for (std::size_t c = 0; c < ColumnCount; ++c)
            cells[c] = Text(TableColumns[c].name);
        return cells;
    }
    const TableRow kind = KindOf(row);
    const std::int64_t k = row - HarmonicRowsStart + 1;
    const std::int64_t i = k - harmonics_ - 1;
    if (row > HarmonicRowsStart + harmonics_ + samples_ + 1)
        return ReferenceRow(kind);
    // Past the analysis's own harmonics or samples, the reference's alone.
    const bool own = (kind != TableRow::Harmonic || k <= ownHarmonics_)
        && (kind != TableRow::Sample || i < ownSamples_);
    if (kind == TableRow::DcComponent) {
        cells[KindColumn] = Text("componente continua");
    } else if (kind == TableRow::Measures) {
        cells[KindColumn] = Text("misure");
    } else if (kind == TableRow::Parameters) {
        cells[KindColumn] = Text("parametri");
        for (std::size_t p = 0; p < ParameterCount; ++p)
            cells[FirstParameterColumn + p] = ParameterCell(state_, p);
    } else if (kind == TableRow::Harmonic) {
        cells[KindColumn] = Text("armonica");
        cells[HarmonicNumberColumn] = Index(k);
        if (own)
            cells[FrequencyColumn] = Number(Kilohertz(static_cast<double>(k) * state_.Frequency));
    } else {
        const double periodMicroseconds = Microseconds(1, state_.Frequency);
        cells[KindColumn] = Text("campione");
        cells[SampleIndexColumn] = Index(i);
        if (own)
            cells[TimeColumn] = Number(periodMicroseconds * static_cast<double>(i)
                                       / static_cast<double>(state_.SampleCount));
    }
    for (std::size_t r = 0; r < AnalysisResultList.size() && own; ++r) {
        const ResultDeclaration &result = AnalysisResultList[r];
        TableCell &cell = cells[ResultColumns[r]];
        if (kind == RowOf(result.scope))
            cell = Number(ReadResult(state_, result, kind == TableRow::Sample ? i : k));
    }
    FilterCells(cells, kind, k, i);
    ReferenceCells(cells, kind, k, i);
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
            else if (cell.kind == TableCell::Kind::Index)
                AppendIndex(cell.index, out);
            else if (cell.kind == TableCell::Kind::Number)
                AppendShortestNumber(cell.number, out);
        }
        out += "\r\n";
    }
}
