// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The analysis table as a spreadsheet takes it from the clipboard: tab-separated text and an HTML
// table, their numbers written with the user's decimal separator so that a spreadsheet in the
// user's language reads them as numbers.
#pragma once

#include <cstdint>
#include <string>

class AnalysisTable;

// Rows first .. first + count - 1, cells between tabs, each row ended by a line feed; numbers in
// the shortest text that reads back to the same double, `decimalSeparator` before the decimals.
void AppendTabRows(const AnalysisTable &table, std::int64_t first, std::int64_t count,
                   char16_t decimalSeparator, std::string &out);

// An HTML document holding the table: its start, the rows (the header's cells as <th>, numbers
// as above) and its end.
void AppendHtmlStart(std::string &out);
void AppendHtmlRows(const AnalysisTable &table, std::int64_t first, std::int64_t count,
                    char16_t decimalSeparator, std::string &out);
void AppendHtmlEnd(std::string &out);
