// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The analysis table as a spreadsheet workbook (Office Open XML, .xlsx): typed numbers that no
// locale can misread, each cell holding the table's double to the last bit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class AnalysisTable;
class TaskControl;

// The sheets: "Armoniche" takes the DC component, the measures and the harmonics, "Campioni" the
// samples, "Parametri" the parameters of the analysis; each shows the columns its rows fill,
// under a bold, frozen header row.
constexpr std::string_view HarmonicsSheet = "Armoniche";
constexpr std::string_view SamplesSheet = "Campioni";
constexpr std::string_view ParametersSheet = "Parametri";

// Rows of the longer sheet, its header included: a spreadsheet holds at most SpreadsheetRows.
std::int64_t WorkbookSheetRows(const AnalysisTable &table);

enum class WorkbookResult
{
    Written,
    Cancelled,
    Failed,
};

// Writes the workbook at `path` (UTF-8), counting the table's rows on `control` as they are
// written. Once `control` is cancelled it stops as soon as it can and says so; whatever is at
// `path` then is for the caller to throw away, as after a failure, which leaves the system's
// error number in `error` (EIO when none is known).
WorkbookResult WriteAnalysisWorkbook(const AnalysisTable &table, const std::string &path,
                                     TaskControl &control, int &error);
