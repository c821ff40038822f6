// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/capture/capture_cells.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char SeparatorChar(Separator separator)
{
    switch (separator) {
    case Separator::Comma:
        return ',';
    case Separator::Semicolon:
        return ';';
    case Separator::Tab:
        return '\t';
    case Separator::Spaces:
        break;
    }
    return ' ';
}

// From `at`, a cell up to its separator: its text without the quotes around it, and where the
// next cell begins (past the end when none does).
std::string_view NextCell(std::string_view line, std::size_t &at, Separator separator)
{
    const bool spaces = separator == Separator::Spaces;
    const char sep = SeparatorChar(separator);
    const auto ends = [&](char c) { return spaces ? IsBlank(c) : c == sep; };
    while (at < line.size() && IsBlank(line[at]) && (spaces || line[at] != sep))
        ++at;
    std::string_view cell;
    if (at < line.size() && line[at] == '"') {
        // Quoted: to the closing quote ("" inside stands for one quote), then to the separator.
        const std::size_t first = ++at;
        while (at < line.size()) {
            if (line[at] == '"' && at + 1 < line.size() && line[at + 1] == '"')
                at += 2;
            else if (line[at] == '"')
                break;
            else
                ++at;
        }
        cell = line.substr(first, at - first);
        while (at < line.size() && !ends(line[at]))
            ++at;
    } else {
        const std::size_t first = at;
        while (at < line.size() && !ends(line[at]))
            ++at;
        cell = line.substr(first, at - first);
    }
    if (spaces) {
        while (at < line.size() && IsBlank(line[at]))
            ++at;
    } else if (at < line.size()) {
        ++at; // the separator
    } else {
        at = line.size() + 1;
    }
    return Trimmed(cell);
}

// The decimal order of a number's first significant digit (0 for units, -1 for tenths), from
// its mantissa and exponent: out of the double range, it tells an overflow from an underflow.
std::int64_t DecimalOrder(std::string_view number)
{
    const std::size_t exponentAt = std::min(number.find_first_of("eE"), number.size());
    const std::string_view mantissa = number.substr(0, exponentAt);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t significant = std::min(mantissa.find_first_of("123456789"), mantissa.size());
    std::int64_t order = significant < point ? std::int64_t(point - significant) - 1
                                             : -std::int64_t(significant - point);
    std::int64_t exponent = 0;
    bool negative = false;
    for (std::size_t i = exponentAt + 1; i < number.size(); ++i) {
        if (number[i] == '-')
            negative = true;
        else if (number[i] >= '0' && number[i] <= '9')
            exponent = std::min<std::int64_t>(exponent * 10 + (number[i] - '0'), 1'000'000'000);
    }
    return order + (negative ? -exponent : exponent);
}

// The longest number at the start of `text` (after an optional sign), its value and length.
struct Prefix
{
    double value;
    std::size_t length;
};
std::optional<Prefix> NumberPrefix(std::string_view text)
{
    std::size_t skip = 0;
    if (!text.empty() && text.front() == '+') {
        if (text.size() > 1 && text[1] == '-')
            return std::nullopt;
        skip = 1;
    }
    const char *first = text.data() + skip;
    const char *last = text.data() + text.size();
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::invalid_argument)
        return std::nullopt;
    const std::size_t length = static_cast<std::size_t>(end - text.data());
    if (error == std::errc::result_out_of_range) {
        const std::string_view digits(first, static_cast<std::size_t>(end - first));
        const bool negative = digits.front() == '-';
        value = DecimalOrder(digits) < 0 ? 0.0 : std::numeric_limits<double>::infinity();
        if (negative)
            value = -value;
    }
    return Prefix {value, length};
}

// The ASCII lower case of a unit's name with either mu (U+00B5, U+03BC) as 'u'; none for a name
// too long to be a unit's.
std::optional<std::string> UnitSpelling(std::string_view name)
{
    if (name.size() > 16)
        return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (i + 1 < name.size()
            && ((c == 0xC2 && static_cast<unsigned char>(name[i + 1]) == 0xB5)
                || (c == 0xCE && static_cast<unsigned char>(name[i + 1]) == 0xBC))) {
            out += 'u';
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c - 'A' + 'a');
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

struct UnitName
{
    std::string_view spelling;
    Unit unit;
};

// Oscilloscopes write "uS" for microseconds; a unit's case is not read, so "MS" is milliseconds
// and "MSa/s" megasamples a second, the only readings a capture's header gives them.
constexpr UnitName UnitNames[] = {
    {"s", {Unit::Kind::Time, 1}},
    {"sec", {Unit::Kind::Time, 1}},
    {"secs", {Unit::Kind::Time, 1}},
    {"second", {Unit::Kind::Time, 1}},
    {"seconds", {Unit::Kind::Time, 1}},
    {"ms", {Unit::Kind::Time, 1e-3}},
    {"msec", {Unit::Kind::Time, 1e-3}},
    {"us", {Unit::Kind::Time, 1e-6}},
    {"usec", {Unit::Kind::Time, 1e-6}},
    {"ns", {Unit::Kind::Time, 1e-9}},
    {"nsec", {Unit::Kind::Time, 1e-9}},
    {"ps", {Unit::Kind::Time, 1e-12}},
    {"v", {Unit::Kind::Voltage, 1}},
    {"volt", {Unit::Kind::Voltage, 1}},
    {"volts", {Unit::Kind::Voltage, 1}},
    {"mv", {Unit::Kind::Voltage, 1e-3}},
    {"millivolt", {Unit::Kind::Voltage, 1e-3}},
    {"millivolts", {Unit::Kind::Voltage, 1e-3}},
    {"uv", {Unit::Kind::Voltage, 1e-6}},
    {"kv", {Unit::Kind::Voltage, 1e3}},
    {"hz", {Unit::Kind::Rate, 1}},
    {"khz", {Unit::Kind::Rate, 1e3}},
    {"mhz", {Unit::Kind::Rate, 1e6}},
    {"ghz", {Unit::Kind::Rate, 1e9}},
    {"sa/s", {Unit::Kind::Rate, 1}},
    {"ksa/s", {Unit::Kind::Rate, 1e3}},
    {"msa/s", {Unit::Kind::Rate, 1e6}},
    {"gsa/s", {Unit::Kind::Rate, 1e9}},
    {"s/s", {Unit::Kind::Rate, 1}},
    {"ks/s", {Unit::Kind::Rate, 1e3}},
    {"ms/s", {Unit::Kind::Rate, 1e6}},
    {"gs/s", {Unit::Kind::Rate, 1e9}},
};

struct KeyName
{
    std::string_view key;
    TimeKey meaning;
};

constexpr KeyName KeyNames[] = {
    {"start", TimeKey::Start},
    {"t0", TimeKey::Start},
    {"tstart", TimeKey::Start},
    {"starttime", TimeKey::Start},
    {"xstart", TimeKey::Start},
    {"xorigin", TimeKey::Start},
    {"firsttime", TimeKey::Start},
    {"increment", TimeKey::Interval},
    {"tinc", TimeKey::Interval},
    {"xinc", TimeKey::Interval},
    {"xincrement", TimeKey::Interval},
    {"timeincrement", TimeKey::Interval},
    {"dt", TimeKey::Interval},
    {"deltat", TimeKey::Interval},
    {"interval", TimeKey::Interval},
    {"sampleinterval", TimeKey::Interval},
    {"samplinginterval", TimeKey::Interval},
    {"timeinterval", TimeKey::Interval},
    {"sampleperiod", TimeKey::Interval},
    {"samplingperiod", TimeKey::Interval},
    {"timestep", TimeKey::Interval},
    {"tstep", TimeKey::Interval},
    {"samplerate", TimeKey::Rate},
    {"samplingrate", TimeKey::Rate},
    {"samplefrequency", TimeKey::Rate},
    {"samplingfrequency", TimeKey::Rate},
    {"fs", TimeKey::Rate},
    {"time", TimeKey::TimeColumn},
    {"t", TimeKey::TimeColumn},
    {"tempo", TimeKey::TimeColumn},
    {"xaxis", TimeKey::TimeColumn},
    {"timestamp", TimeKey::TimeColumn},
    {"zeit", TimeKey::TimeColumn},
    {"temps", TimeKey::TimeColumn},
    {"tiempo", TimeKey::TimeColumn},
    {"index", TimeKey::IndexColumn},
    {"indice", TimeKey::IndexColumn},
    {"idx", TimeKey::IndexColumn},
    {"sequence", TimeKey::IndexColumn},
    {"sample", TimeKey::IndexColumn},
    {"samples", TimeKey::IndexColumn},
    {"sampleno", TimeKey::IndexColumn},
    {"samplenumber", TimeKey::IndexColumn},
    {"point", TimeKey::IndexColumn},
    {"pointno", TimeKey::IndexColumn},
    {"punto", TimeKey::IndexColumn},
    {"campione", TimeKey::IndexColumn},
    {"no", TimeKey::IndexColumn},
    {"nr", TimeKey::IndexColumn},
    {"n", TimeKey::IndexColumn},
    {"x", TimeKey::IndexColumn},
};

} // namespace

Separator LineSeparator(std::string_view line, std::optional<Separator> otherwise)
{
    if (line.find('\t') != std::string_view::npos) {
        // A tab inside a line of spaces is a space; a line of tabs is separated by tabs.
        const std::string_view inner = Trimmed(line);
        if (inner.find('\t') != std::string_view::npos
            && inner.find("  ") == std::string_view::npos)
            return Separator::Tab;
    }
    if (line.find(';') != std::string_view::npos)
        return Separator::Semicolon;
    if (otherwise == Separator::Semicolon || otherwise == Separator::Tab)
        return *otherwise; // its commas are decimal commas
    if (line.find(',') != std::string_view::npos)
        return Separator::Comma;
    return Separator::Spaces;
}

void SplitCells(std::string_view line, Separator separator, std::vector<std::string_view> &cells)
{
    cells.clear();
    std::size_t at = 0;
    if (separator == Separator::Spaces)
        line = Trimmed(line);
    while (at <= line.size() && !(separator == Separator::Spaces && at == line.size()))
        cells.push_back(NextCell(line, at, separator));
    while (!cells.empty() && cells.back().empty())
        cells.pop_back();
}

std::optional<double> CellNumber(std::string_view cell, bool decimalComma)
{
    if (cell.empty() || cell.size() > 400)
        return std::nullopt;
    std::string spelled;
    if (decimalComma) {
        const std::size_t comma = cell.find(',');
        if (comma != std::string_view::npos) {
            if (cell.find(',', comma + 1) != std::string_view::npos
                || cell.find('.') != std::string_view::npos)
                return std::nullopt;
            spelled = cell;
            spelled[comma] = '.';
            cell = spelled;
        }
    }
    const std::optional<Prefix> prefix = NumberPrefix(cell);
    if (!prefix || prefix->length != cell.size())
        return std::nullopt;
    return prefix->value;
}

std::optional<Unit> UnitNamed(std::string_view name)
{
    const std::optional<std::string> spelling = UnitSpelling(Trimmed(name));
    if (!spelling)
        return std::nullopt;
    for (const UnitName &entry : UnitNames)
        if (entry.spelling == *spelling)
            return entry.unit;
    return std::nullopt;
}

std::optional<Quantity> QuantityIn(std::string_view text)
{
    text = Trimmed(text);
    if (text.empty() || text.size() > 400)
        return std::nullopt;
    const std::optional<Prefix> prefix = NumberPrefix(text);
    if (!prefix)
        return std::nullopt;
    const std::string_view rest = Trimmed(text.substr(prefix->length));
    if (rest.empty())
        return Quantity {prefix->value, std::nullopt};
    const std::optional<Unit> unit = UnitNamed(rest);
    if (!unit)
        return std::nullopt;
    return Quantity {prefix->value, unit};
}

Heading HeadingOf(std::string_view cell)
{
    cell = Trimmed(cell);
    if (!cell.empty() && (cell.back() == ')' || cell.back() == ']')) {
        const char open = cell.back() == ')' ? '(' : '[';
        const std::size_t at = cell.rfind(open);
        if (at != std::string_view::npos) {
            const std::optional<Unit> unit = UnitNamed(cell.substr(at + 1, cell.size() - at - 2));
            if (unit)
                return {Trimmed(cell.substr(0, at)), unit};
        }
    }
    return {cell, UnitNamed(cell)};
}

std::optional<Unit> UnitCell(std::string_view cell)
{
    cell = Trimmed(cell);
    if (cell.size() >= 2
        && ((cell.front() == '(' && cell.back() == ')')
            || (cell.front() == '[' && cell.back() == ']')))
        cell = cell.substr(1, cell.size() - 2);
    return UnitNamed(cell);
}

std::string KeyOf(std::string_view text)
{
    std::string key;
    for (const char c : text.substr(0, 64)) {
        if (c >= 'A' && c <= 'Z')
            key += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            key += c;
    }
    return key;
}

TimeKey TimeKeyOf(std::string_view key)
{
    for (const KeyName &entry : KeyNames)
        if (entry.key == key)
            return entry.meaning;
    return TimeKey::None;
}

std::optional<std::uint64_t> Utf8Check::Feed(std::string_view bytes)
{
    for (const char byte : bytes) {
        const unsigned char c = static_cast<unsigned char>(byte);
        const std::uint64_t at = at_++;
        if (pending_ > 0) {
            if (c < low_ || c > high_)
                return at;
            --pending_;
            low_ = 0x80;
            high_ = 0xBF;
            continue;
        }
        if (c == 0)
            return at;
        if (c < 0x80)
            continue;
        // The lead byte fixes how many continuation bytes follow and, for the first of them,
        // the bounds that keep out overlong forms, surrogates and code points beyond U+10FFFF.
        if (c >= 0xC2 && c <= 0xDF) {
            pending_ = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            pending_ = 2;
            low_ = c == 0xE0 ? 0xA0 : 0x80;
            high_ = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            pending_ = 3;
            low_ = c == 0xF0 ? 0x90 : 0x80;
            high_ = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return at;
        }
    }
    return std::nullopt;
}
