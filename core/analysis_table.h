// The analysis as one CSV table (RFC 4180, UTF-8, CRLF): a header naming the columns with their
// units, the DC component, one row per harmonic and one period of samples with the sum of the
// harmonics at each (left empty while HarmonicSum is not computed), every number in the shortest
// text that reads back to the same double.
#pragma once

#include "analysis_state.h"

#include <cstdint>
#include <string>

class AnalysisTable
{
public:
    // Reads the state when rows are appended: it must not change meanwhile.
    explicit AnalysisTable(const AnalysisState &state);

    // The header, the DC component, harmonics 1 to RoundToCount(H), samples 0 to N - 1; the
    // header alone before any analysis.
    std::int64_t RowCount() const;
    // Appends rows first .. first + count - 1, each ended by CRLF.
    void AppendRows(std::int64_t first, std::int64_t count, std::string &out) const;

private:
    const AnalysisState &state_;
    std::int64_t harmonics_;
    std::int64_t samples_;
};
