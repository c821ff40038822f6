// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The workbook's numbers to the last bit: while one lives, libxlsxwriter writes each double on its
// thread as the shortest text that reads back to it, with '.' whatever the locale.
#pragma once

// libxlsxwriter, as Debian builds it, writes every double into the XML with "%.16G": sixteen
// significant digits, which for many doubles (0.1 + 0.2; 893 of the 30051 numbers of the default
// analysis) read back to a neighbouring double, and the decimal separator of the locale, which
// the windows set to the user's, so that an Italian computer would write "0,5" where the format
// wants "0.5". On Linux a conversion of the C library's printf, registered once as the program
// starts, takes that format over on the thread where a WorkbookNumbers lives; everywhere else,
// and for any other precision, the C library's own conversion runs. On Windows the library is
// built from its source with its own shortest-digits writer (USE_DTOA_LIBRARY), which needs no
// help: there a WorkbookNumbers does nothing.
class WorkbookNumbers
{
public:
    WorkbookNumbers();
    ~WorkbookNumbers();
    WorkbookNumbers(const WorkbookNumbers &) = delete;
    WorkbookNumbers &operator=(const WorkbookNumbers &) = delete;

    // False when the C library refused the conversion: a workbook would then hold the library's
    // rounded numbers, and is not written. Always true on Windows.
    static bool Exact();
};
