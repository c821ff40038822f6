// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One channel of a signal read from the text an oscilloscope or a circuit simulator writes
// (CSV and its kin), put on an even time grid in seconds and volts.
//
// What it reads:
// - Separators: commas, semicolons (where a comma may be the decimal separator: "0,5;1,25"),
//   tabs or runs of spaces; quoted cells, a separator at the end of each line, CRLF, LF or CR,
//   a UTF-8 byte order mark. Numbers as std::from_chars reads them, whatever the locale, with an
//   optional '+' ("+1.000E-03").
// - The data: the first run of rows that begin with a number, with one separator and one
//   count of cells, decided on its first RunRows rows (or fewer at the end of the file); after
//   that every row must hold as many cells, blank lines and '#' comments aside. The columns that
//   are numbers in all of those first rows are the channels; the others (logic pods: "0x1F",
//   "HIGH") are left unread.
// - The header: the lines before the data. The last of them that is not a row of numbers names
//   the columns, or gives their units when each of its cells is a unit ("s,V,V", "(s),(mV)"),
//   in which case the line before it names them. A heading may carry its unit ("Time (s)",
//   "CH1 [mV]", "TIME(us)") or be one ("Volt"): s, ms, us (µs, μs, uS), ns, ps; V, mV, uV, kV.
//   Any line before the data may give the time in "key,value" rows, "key = value" or
//   "key:value" cells, or '#' comments: the start ("Start", "t0", "Start Time"), the interval
//   ("Increment", "tInc", "Sample Interval", "dt") or the rate ("Sample Rate", "fs"), with an
//   optional unit ("0.08uS", "500 MSa/s") or after a word and a colon ("Analog:2.0e-07"); a
//   line of one cell with a time unit ("0.08uS") is an interval too.
// - The time: the column whose heading is a time ("Time", "t", "x-axis") or has a time unit;
//   else, with an interval in the header, the start plus the interval times the column of the
//   samples' numbers (headed "Index", "Sample", "X", ..., or a first column without a heading
//   that counts up by one), which need not start at 0, or times the row's place; else the first
//   of two or more columns, in seconds.
// - Uneven or disordered times, as a simulator writes them: the rows are sorted by time
//   (samples at the same time become one, their mean); when a time lies farther than a fiftieth
//   of the mean step from the even grid from the first time to the last with the mean step, the
//   values are interpolated linearly onto that grid, which keeps the count of distinct times.
//
// The reader goes through the text once, in chunks, counting their bytes in the TaskControl
// and stopping when it is cancelled; it keeps the times and the chosen channel's values alone.
#pragma once

#include "core/texts/messages.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <variant>
#include <vector>

class TaskControl;

struct CaptureOptions
{
    std::size_t channel = 0; // among the channels, the columns of numbers besides the time's
    std::uint64_t mostBytes = std::uint64_t(1) << 30; // a larger file is refused
    std::int64_t mostSamples = std::int64_t(1) << 26; // rows of data
};

struct Capture
{
    std::vector<double> values; // V: values[i] at start + i * interval
    double start = 0; // s
    double interval = 0; // s, above zero
    std::vector<std::u16string> channelNames; // the headings of the channels, or "colonna 2"
    std::u16string channelName; // the chosen one's
    double timeUnit = 1; // the seconds of one unit of the file's times
    double valueUnit = 1; // the volts of one unit of the channel's values
    std::int64_t samplesRead = 0; // rows of data
    bool resampled = false; // the values were interpolated or merged, not read as they are
};

struct CaptureProblem
{
    CaptureReason reason;
    std::uint64_t line = 0; // from 1; 0 for the file as a whole
    std::u16string text; // the message, in Italian
};

struct CaptureCancelled
{
};

using CaptureResult = std::variant<Capture, CaptureProblem, CaptureCancelled>;

// The rows that decide where the data start.
constexpr std::size_t RunRows = 4;
// The longest line the reader takes.
constexpr std::size_t MostLineBytes = std::size_t(1) << 16;

// `sizeBytes` is the file's size, checked against options.mostBytes before reading.
CaptureResult ReadCapture(std::istream &in, std::uint64_t sizeBytes, const CaptureOptions &options,
                          TaskControl *control = nullptr);
