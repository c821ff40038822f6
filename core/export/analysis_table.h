// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis as one table: a header naming the columns with their units, the DC component, the
// measures, the parameters the analysis was computed from, one row per harmonic and one period of
// samples with the sum of the harmonics at each (left empty while HarmonicSum is not computed).
// Every way out (the CSV, the workbook, the clipboard's texts) is written from these cells, so a
// column added here appears in all of them.
#pragma once

#include "core/spectrum/filters.h"
#include "core/spectrum/reference_trace.h"
#include "core/state/analysis_state.h"
#include "core/state/parameter_table.h"
#include "core/state/result_list.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// What one cell holds: nothing (a column of another kind of row, or no value), a text, an index
// (a harmonic's number k or a sample's i) or a double.
struct TableCell
{
    enum class Kind
    {
        Empty,
        Text,
        Index,
        Number,
    };
    Kind kind = Kind::Empty;
    std::string_view text; // UTF-8
    std::int64_t index = 0;
    double number = 0;
};

// The kinds of row below the header, each filling columns of its own.
enum class TableRow
{
    DcComponent,
    Measures, // the measures' one row
    Parameters, // the parameters' one row
    Harmonic,
    Sample,
};

// One column: its name with the unit, and the kinds of row that fill it.
struct TableColumn
{
    std::string_view name;
    unsigned rows = 0; // bit r for TableRow r

    static constexpr unsigned Bit(TableRow row) { return 1u << static_cast<unsigned>(row); }
    bool FilledBy(TableRow row) const { return (rows & Bit(row)) != 0; }
};

class AnalysisTable
{
public:
    // The columns: the row's kind; the analysis-wide results; the harmonic's number and frequency
    // and its results; the sample's index and time and its results; then the results declared as
    // appended (the phase and level of each harmonic, the measures) and the parameters D, Vmax,
    // f, N, H, P and the pulse shape's name. The results come in the order the list of results
    // declares them, one column each.
    static constexpr std::size_t KindColumn = 0;
    static constexpr std::size_t FirstAnalysisColumn = 1;
    static constexpr std::size_t HarmonicNumberColumn
        = FirstAnalysisColumn + ResultsIn(ResultScope::Analysis);
    static constexpr std::size_t FrequencyColumn = HarmonicNumberColumn + 1;
    static constexpr std::size_t FirstHarmonicColumn = FrequencyColumn + 1;
    static constexpr std::size_t SampleIndexColumn
        = FirstHarmonicColumn + ResultsIn(ResultScope::Harmonic);
    static constexpr std::size_t TimeColumn = SampleIndexColumn + 1;
    static constexpr std::size_t FirstSampleColumn = TimeColumn + 1;
    static constexpr std::size_t FirstAppendedColumn
        = FirstSampleColumn + ResultsIn(ResultScope::Sample);
    static constexpr std::size_t FirstParameterColumn = FirstAppendedColumn
        + ResultsIn(ResultScope::Harmonic, true) + ResultsIn(ResultScope::Sample, true)
        + ResultsIn(ResultScope::Measure, true) + ResultsIn(ResultScope::Analysis, true);
    // The analysis's parameters, then its pulse shape.
    static constexpr std::size_t ParameterCount = AnalysisParameterRows.size() + 1;
    // Last, the filter's: each harmonic's |H(k f)|, arg H, |Y_k| and the phase of Y_k, each
    // sample's y(t), and in the parameters' row the filter's name, its frequency and its Q. Empty
    // without a filter, but for its name, "nessuno".
    static constexpr std::size_t FirstFilterColumn = FirstParameterColumn + ParameterCount;
    static constexpr std::size_t FilterColumnCount = 8;
    // With a reference held, after those: each of its harmonics' frequency, modulus and phase
    // (on the row of the same k), each of its samples' time and value (on the row of the same i),
    // and its DC component on the DC component's row. Its measures and its parameters (its
    // filter's in the filter's columns) fill two rows of their own, last.
    static constexpr std::size_t FirstReferenceColumn = FirstFilterColumn + FilterColumnCount;
    static constexpr std::size_t ReferenceColumnCount = 6;
    static constexpr std::size_t ColumnCount = FirstReferenceColumn + ReferenceColumnCount;
    // Rows before the harmonics', the header's included.
    static constexpr std::int64_t HarmonicRowsStart = 2;

    using Row = std::array<TableCell, ColumnCount>;
    static const std::array<TableColumn, ColumnCount> &Columns();

    // Reads the state when rows are read: it must not change meanwhile. Through a filter, its
    // settings and its output (FilterOutput) fill the filter's columns; they must not change
    // either.
    // With `reference`, a reference held beside the analysis, which must not change either.
    explicit AnalysisTable(const AnalysisState &state, const FilterSettings &filter = {},
                           const AnalysisState *output = nullptr,
                           const HeldReference *reference = nullptr);

    // The header, the DC component, harmonics 1 to RoundToCount(H), samples 0 to N - 1, the
    // measures, the parameters; the header alone before any analysis. The measures and the
    // parameters come last, so that every row before them stands where it always has. With a
    // reference, as many harmonics' and samples' rows as the larger of the two has (the
    // analysis's cells empty past its own), and its measures and parameters last.
    std::int64_t RowCount() const;
    // The measures' row, the first after the samples; then the parameters', and the reference's
    // two where one is held.
    std::int64_t MeasuresRow() const { return HarmonicRowsStart + harmonics_ + samples_; }
    // Rows 1 .. RowCount() - 1: the DC component, the harmonics, the samples, then the measures
    // and the parameters.
    TableRow KindOf(std::int64_t row) const;
    // The cells of row `row`; the header's are the column names.
    Row Cells(std::int64_t row) const;

    // Appends rows first .. first + count - 1 as CSV (RFC 4180, UTF-8, ',' between fields, '.'
    // before decimals), each ended by CRLF, every number in the shortest text that reads back to
    // the same double.
    void AppendRows(std::int64_t first, std::int64_t count, std::string &out) const;

private:
    // The filter's cells of a row of `kind`: harmonic k's, sample i's, the parameters'.
    void FilterCells(Row &cells, TableRow kind, std::int64_t k, std::int64_t i) const;
    // The reference's cells of the DC component's, harmonic k's or sample i's row.
    void ReferenceCells(Row &cells, TableRow kind, std::int64_t k, std::int64_t i) const;
    // The reference's measures' and parameters' rows.
    Row ReferenceRow(TableRow kind) const;

    const AnalysisState &state_;
    FilterSettings filter_;
    const AnalysisState *output_;
    const HeldReference *reference_;
    std::int64_t ownHarmonics_;
    std::int64_t ownSamples_;
    std::int64_t harmonics_;
    std::int64_t samples_;
};

// The shortest text that reads back to the same double, with '.' before the decimals.
void AppendShortestNumber(double value, std::string &out);
void AppendIndex(std::int64_t value, std::string &out);
