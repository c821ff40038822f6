// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces of a capture's lines: cells split at the file's separator, numbers read whatever the
// locale (the point, or the comma where the separator leaves it free), units and the header's
// keys recognised, bytes checked as UTF-8. Shared by the reader's files, no further.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/texts/utf16.h"

enum class Separator
{
    Comma,
    Semicolon,
    Tab,
    Spaces // one run or more of spaces and tabs
};

// The line's own separator: a tab or a semicolon, the first of them that it holds; else
// `otherwise` when it is one of them (the file's, where a line of one cell may hold a decimal
// comma); else a comma when the line holds one; else spaces.
Separator LineSeparator(std::string_view line, std::optional<Separator> otherwise);

// The line's cells, each trimmed of spaces and of one pair of double quotes (a separator between
// quotes belongs to its cell), with the empty cells at the end of the line left out, as a
// separator at the end of each line leaves them.
void SplitCells(std::string_view line, Separator separator, std::vector<std::string_view> &cells);

// A decimal comma is read as a point where the comma does not separate cells.
inline bool DecimalComma(Separator separator)
{
    return separator != Separator::Comma;
}

// The whole cell as a number ("+1.000E-03", "-.5", "1e5", "nan", "inf"); none when any of it is
// not. Beyond the double range it is an infinity of its sign, below it a zero of its sign.
std::optional<double> CellNumber(std::string_view cell, bool decimalComma);

// What a unit measures and its size in seconds or volts.
struct Unit
{
    enum class Kind
    {
        Time,
        Voltage,
        Rate // samples a second
    };
    Kind kind;
    double factor;
};

// A unit's name alone: "s", "ms", "us", "µs" (either mu), "uS", "ns", "V", "mV", "Volt", ...
std::optional<Unit> UnitNamed(std::string_view name);

// A number with an optional unit after it ("0.08uS", "2.0e-6", "500 MSa/s", "-1e-3 s"), and the
// unit when there is one. A unit that is not known leaves the text unread.
struct Quantity
{
    double number;
    std::optional<Unit> unit;
};
std::optional<Quantity> QuantityIn(std::string_view text);

// A column's heading: its name and the unit it may carry in brackets ("Time (s)", "CH1 [mV]",
// "TIME(us)") or be ("Volt").
struct Heading
{
    std::string_view name;
    std::optional<Unit> unit;
};
Heading HeadingOf(std::string_view cell);

// A cell of a row of units under the headings: "s", "(s)", "[mV]", "Volt"; empty is no unit.
std::optional<Unit> UnitCell(std::string_view cell);

// A name as the header's keys are compared: ASCII letters (lower case) and digits alone, so that
// "Sample Interval", "sample_interval" and "SampleInterval" are one key.
std::string KeyOf(std::string_view text);

// What a key of the header or a heading says about the time.
enum class TimeKey
{
    None,
    Start, // the first sample's time
    Interval, // the time between samples
    Rate, // samples a second
    TimeColumn, // a heading of the time's column
    IndexColumn // a heading of the samples' numbers
};
TimeKey TimeKeyOf(std::string_view key);

// Checks the first bytes of a file, fed in pieces, as UTF-8 text: no NUL byte and no invalid
// sequence. A sequence cut by the end of what is checked is not a fault.
class Utf8Check
{
public:
    // Where the fault was, from the first byte fed (0 based), or none yet.
    std::optional<std::uint64_t> Feed(std::string_view bytes);

private:
    std::uint64_t at_ = 0;
    int pending_ = 0; // continuation bytes still due
    unsigned char low_ = 0x80, high_ = 0xBF; // the next continuation byte's bounds
};

// A file's text quoted in a message: its first characters alone.
constexpr std::size_t MostQuoted = 64;
