// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Every text the program shows in its message box, chosen from one table: the two messages of
// each field, and the message of each typed reason for which a command stops after its checks.
#pragma once

#include "fields.h"
#include "save_problem.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Why a command stops once its fields have passed their checks, in the order the commands meet
// them. The code that finds the problem returns the reason; the words come from the table.
enum class Reason
{
    DutyCycleZeroOrAboveOne,
    NegativeDutyCycle,
    ValueBeyondDoubles, // names its field
    FrequencyTimesThousandBeyondDoubles,
    SampleCountOutOfRange,
    TooManyHarmonics, // %1 = N + 1
    HarmonicCountOutOfRange, // %1 = the largest count an angle's 2k allows
    TargetHarmonicOutOfRange, // %1 = N + 1
    PeriodCountOutOfRange,
    ZeroFrequency,
    NotEnoughMemory, // %1 = N, %2 = MB needed, %3 = MB available
    AllocationFailed,
    ResultsTooLarge,
};

// A reason with the field and the numbers its message names.
struct Refusal
{
    Reason reason;
    Field field = Field::Text1;
    std::array<std::uint64_t, 3> numbers {};

    friend bool operator==(const Refusal &, const Refusal &) = default;
};

// The message of a refusal, its field and numbers filled in.
std::u16string MessageText(const Refusal &refusal);

struct FieldMessages
{
    std::u16string_view missing; // the field is empty
    std::u16string_view invalid; // the field holds a character outside the number alphabet
};

const FieldMessages &MessagesFor(Field field);

// What the field holds, as the messages name it ("il numero di campioni").
std::u16string_view FieldDescription(Field field);

// One row of the table, as the README lists it: the condition in English, the message with %f
// for the field and %1 to %3 for the numbers, and what each number stands for.
struct ReasonEntry
{
    Reason reason;
    std::string_view when;
    std::u16string_view text;
    std::array<std::string_view, 3> numberNames;
};

std::span<const ReasonEntry> ReasonTable();

// The messages of the export from the graph window.
// A save that failed: the file's path and why, in words; nothing was left behind.
std::u16string SaveFailedText(std::u16string_view path, SaveProblem problem);
// Why, alone ("il disco è pieno").
std::u16string_view SaveProblemText(SaveProblem problem);
// Under the file dialog's name while it is too long to be saved, which keeps Save disabled.
inline constexpr std::u16string_view NameTooLongHint
    = u"Il nome del file è troppo lungo: al massimo 255 caratteri (meno se accentati).";
// Data too long for the clipboard: more rows than a spreadsheet holds.
constexpr std::int64_t SpreadsheetRows = 1048576;
std::u16string TooManyRowsText(std::int64_t rows);
// A sheet of the workbook would need more rows than a spreadsheet holds.
std::u16string TooManyWorkbookRowsText(std::int64_t rows);
// The memory ran out while the data for the clipboard were prepared.
inline constexpr std::u16string_view CopyOutOfMemoryText
    = u"I dati non sono stati copiati: la memoria non basta per prepararli.";
