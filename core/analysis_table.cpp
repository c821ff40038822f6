#include "analysis_table.h"

#include "spectrum.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// One column per quantity, so that each holds one meaning and one unit; a row fills the columns
// of its kind and leaves the others empty, as RFC 4180 wants every row as wide as the header.
constexpr const char *Header = "grandezza,componente continua [V],k,frequenza [kHz],a_k [V],"
                               "b_k [V],|S_k| [V],i,tempo [\xC2\xB5s],s(i) [V],"
                               "somma armoniche [V]";

void Number(double value, std::string &out)
{
    if (!std::isfinite(value)) // a time over a zero frequency: there is none
        return;
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

void Count(std::int64_t value, std::string &out)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

} // namespace

AnalysisTable::AnalysisTable(const AnalysisState &state)
    : state_(state),
      harmonics_(state.Samples.empty() ? 0 : std::max(0, RoundToCount(state.HarmonicCount))),
      samples_(state.Samples.empty() ? 0 : state.SampleCount)
{ }

std::int64_t AnalysisTable::RowCount() const
{
    return state_.Samples.empty() ? 1 : 2 + harmonics_ + samples_;
}

void AnalysisTable::AppendRows(std::int64_t first, std::int64_t count, std::string &out) const
{
    const double n = static_cast<double>(state_.SampleCount);
    const double periodMicroseconds = 1000000 / state_.Frequency;
    const bool hasSum = state_.HarmonicSum.size() > static_cast<std::size_t>(samples_);
    for (std::int64_t row = first; row < first + count; ++row) {
        if (row == 0) {
            out += Header;
        } else if (row == 1) {
            out += "componente continua,";
            Number(state_.MeanValue, out);
            out += ",,,,,,,,,";
        } else if (const std::int64_t k = row - 1; k <= harmonics_) {
            out += "armonica,,";
            Count(k, out);
            out += ',';
            Number(static_cast<double>(k) * state_.Frequency / 1000, out);
            out += ',';
            Number(state_.CosCoefficients[k], out);
            out += ',';
            Number(state_.SinCoefficients[k], out);
            out += ',';
            Number(state_.Magnitudes[k], out);
            out += ",,,,";
        } else {
            const std::int64_t i = k - harmonics_ - 1;
            out += "campione,,,,,,,";
            Count(i, out);
            out += ',';
            Number(periodMicroseconds * static_cast<double>(i) / n, out);
            out += ',';
            Number(state_.Samples[i], out);
            out += ',';
            if (hasSum)
                Number(state_.HarmonicSum[i], out);
        }
        out += "\r\n";
    }
}
