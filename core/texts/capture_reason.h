// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Why a captured signal cannot be read or measured, as a typed reason with what its message
// names, and the capture's other words; the texts are in the message table (messages.h).
#pragma once

#include <string_view>

enum class CaptureReason
{
    Empty,
    TooLarge, // %1 = the file's bytes, %2 = the limit
    Binary, // names its line
    LineTooLong, // names its line; %1 = the longest line read
    NoNumbers,
    NotANumber, // names its line; %1 = the separators' name, %2 = the cell found
    CellCount, // names its line; %1 = the columns expected, %2 = those found
    NotFinite, // names its line; %1 = the cell
    BadInterval, // names the header's line; %1 = the value found
    NoTimeInformation,
    NoChannel,
    NoSuchChannel, // %1 = the channel asked for (from 1), %2 = the channels found
    TooManySamples, // %1 = the limit
    TooFewSamples, // %1 = the samples read
    TimeStandsStill,
    TimesBeyondDoubles,
    FlatSignal, // %1 = the one value
    LessThanOnePeriod, // no whole period found in the signal
    ShorterThanPeriod, // %1 = the capture's duration, %2 = the period
    PeriodBelowSampling, // %1 = the period, %2 = the sample interval
    BadPointCount, // %1 = the points asked for, %2 = the most allowed
    Count // not a reason: how many there are
};

// The texts the reader writes that are not messages.
enum class CaptureText
{
    ColumnName, // a column without a heading; %1 = its number from 1
    Commas, // the separators, as "attesi numeri separati da %1" names them
    Semicolons,
    Tabs,
    Spaces,
    Count // not a text
};

// One row of the table: the condition in English, and the message with %l for the line and %1 to
// %3 for what it names.
struct CaptureReasonEntry
{
    CaptureReason reason;
    std::string_view when;
    std::u16string_view text;
};
