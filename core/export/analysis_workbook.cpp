// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/export/analysis_workbook.h"

#include "core/export/analysis_table.h"
#include "core/state/task_control.h"

#include <xlsxwriter.h>

#include <printf.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <vector>

namespace {

// libxlsxwriter, as Debian builds it, writes every double into the XML with "%.16G": sixteen
// significant digits, which for many doubles (0.1 + 0.2; 893 of the 30051 numbers of the default
// analysis) read back to a neighbouring double, and the decimal separator of the locale, which
// the windows set to the user's, so that an Italian computer would write "0,5" where the format
// wants "0.5". While a workbook is written on this thread, that conversion writes the shortest
// text that reads back to the same double, with '.', instead; everywhere else, and for any other
// precision, the C library's own conversion runs.
thread_local bool writingWorkbook = false;

int DoubleArgument(const printf_info *info, std::size_t n, int *types, int *sizes)
{
    if (n > 0) {
        types[0] = PA_DOUBLE | (info->is_long_double ? PA_FLAG_LONG_DOUBLE : 0);
        sizes[0] = info->is_long_double ? sizeof(long double) : sizeof(double);
    }
    return 1;
}

int ShortestDouble(FILE *stream, const printf_info *info, const void *const *args)
{
    constexpr int LibraryConversion = -2;
    if (!writingWorkbook || info->is_long_double || info->prec != 16 || info->width != 0)
        return LibraryConversion;
    char text[32];
    const auto end
        = std::to_chars(text, text + sizeof text, *static_cast<const double *>(args[0])).ptr;
    const std::size_t length = end - text;
    return std::fwrite(text, 1, length, stream) == length ? int(length) : -1;
}

// Registered while the program starts, before any other thread runs.
const bool exactDoubles = register_printf_specifier('G', ShortestDouble, DoubleArgument) == 0;

class WritingWorkbook
{
public:
    WritingWorkbook() { writingWorkbook = true; }
    ~WritingWorkbook() { writingWorkbook = false; }
    WritingWorkbook(const WritingWorkbook &) = delete;
    WritingWorkbook &operator=(const WritingWorkbook &) = delete;
};

// The library does not look whether its writes to its temporary files succeed: a full disk there
// leaves a sheet cut short in a workbook it calls written. The error number it leaves behind tells.
bool FailedWrite(int error)
{
    return error == ENOSPC || error == EFBIG || error == EDQUOT || error == EIO;
}

// Rows written between two looks at the cancel flag.
constexpr std::int64_t RowsPerChunk = 4096;

std::size_t TextWidth(std::string_view utf8)
{
    return std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; });
}

std::size_t CellWidth(const TableCell &cell)
{
    std::string text;
    if (cell.kind == TableCell::Kind::Number)
        AppendShortestNumber(cell.number, text);
    else if (cell.kind == TableCell::Kind::Count)
        AppendCount(cell.count, text);
    else
        return TextWidth(cell.text);
    return text.size();
}

struct Sheet
{
    lxw_worksheet *sheet = nullptr;
    std::vector<std::size_t> columns; // of the table, in its order
    std::vector<std::size_t> widths; // in characters
    lxw_row_t rows = 0;
};

bool Holds(std::string_view sheet, TableRow kind)
{
    return (kind == TableRow::Sample) == (sheet == SamplesSheet);
}

// The columns the sheet's rows fill; the kind of row is left out where a sheet holds one kind.
std::vector<std::size_t> SheetColumns(std::string_view sheet)
{
    std::vector<TableRow> kinds;
    for (const TableRow kind : {TableRow::DcComponent, TableRow::Harmonic, TableRow::Sample})
        if (Holds(sheet, kind))
            kinds.push_back(kind);
    std::vector<std::size_t> columns;
    for (std::size_t c = 0; c < AnalysisTable::ColumnCount; ++c) {
        const TableColumn &column = AnalysisTable::Columns()[c];
        const bool filled = std::any_of(kinds.begin(), kinds.end(),
                                        [&](TableRow kind) { return column.FilledBy(kind); });
        if (filled && !(c == AnalysisTable::KindColumn && kinds.size() == 1))
            columns.push_back(c);
    }
    return columns;
}

lxw_error WriteCell(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t column, const TableCell &cell,
                    lxw_format *format)
{
    switch (cell.kind) {
    case TableCell::Kind::Number:
        return worksheet_write_number(sheet, row, column, cell.number, format);
    case TableCell::Kind::Count:
        return worksheet_write_number(sheet, row, column, double(cell.count), format);
    case TableCell::Kind::Text:
        return worksheet_write_string(sheet, row, column, std::string(cell.text).c_str(), format);
    case TableCell::Kind::Empty:
        break;
    }
    return LXW_NO_ERROR;
}

} // namespace

std::int64_t WorkbookSheetRows(const AnalysisTable &table)
{
    // The DC component and the harmonics come first, then the samples: find where they start.
    std::int64_t low = 1, high = table.RowCount();
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (table.KindOf(middle) == TableRow::Sample)
            high = middle;
        else
            low = middle + 1;
    }
    return std::max(low, 1 + table.RowCount() - low); // each with its header
}

WorkbookResult WriteAnalysisWorkbook(const AnalysisTable &table, const std::string &path,
                                     TaskControl &control, int &error)
{
    error = 0;
    if (!exactDoubles || WorkbookSheetRows(table) > LXW_ROW_MAX) {
        error = EIO;
        return WorkbookResult::Failed;
    }
    const WritingWorkbook writing;
    errno = 0;
    // Constant memory: each row goes to a temporary file as soon as the next one starts.
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *workbook = workbook_new_opt(path.c_str(), &options);
    if (!workbook) {
        error = ENOMEM;
        return WorkbookResult::Failed;
    }
    lxw_format *bold = workbook_add_format(workbook);
    format_set_bold(bold);

    std::array<Sheet, 2> sheets;
    const std::array<std::string_view, 2> names = {HarmonicsSheet, SamplesSheet};
    const AnalysisTable::Row header = table.Cells(0);
    lxw_error status = LXW_NO_ERROR;
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        Sheet &sheet = sheets[s];
        sheet.sheet = workbook_add_worksheet(workbook, std::string(names[s]).c_str());
        sheet.columns = SheetColumns(names[s]);
        for (std::size_t j = 0; j < sheet.columns.size(); ++j) {
            const TableCell &name = header[sheet.columns[j]];
            sheet.widths.push_back(TextWidth(name.text) + 2); // bold letters are wider
            if (!status)
                status = WriteCell(sheet.sheet, 0, lxw_col_t(j), name, bold);
        }
        worksheet_freeze_panes(sheet.sheet, 1, 0);
        sheet.rows = 1;
    }

    for (std::int64_t first = 1; first < table.RowCount() && !status; first += RowsPerChunk) {
        if (control.Cancelled()) {
            lxw_workbook_free(workbook);
            return WorkbookResult::Cancelled;
        }
        const std::int64_t end = std::min(first + RowsPerChunk, table.RowCount());
        for (std::int64_t row = first; row < end && !status; ++row) {
            Sheet &sheet = sheets[Holds(SamplesSheet, table.KindOf(row)) ? 1 : 0];
            const AnalysisTable::Row cells = table.Cells(row);
            for (std::size_t j = 0; j < sheet.columns.size() && !status; ++j) {
                const TableCell &cell = cells[sheet.columns[j]];
                sheet.widths[j] = std::max(sheet.widths[j], CellWidth(cell) + 1);
                status = WriteCell(sheet.sheet, sheet.rows, lxw_col_t(j), cell, nullptr);
            }
            ++sheet.rows;
        }
        control.AddDone(end - first);
        if (FailedWrite(errno))
            break;
    }
    if (status || FailedWrite(errno)) {
        error = FailedWrite(errno) ? errno : EIO;
        lxw_workbook_free(workbook);
        return WorkbookResult::Failed;
    }
    for (const Sheet &sheet : sheets)
        for (std::size_t j = 0; j < sheet.widths.size(); ++j)
            worksheet_set_column(sheet.sheet, lxw_col_t(j), lxw_col_t(j), double(sheet.widths[j]),
                                 nullptr);
    control.AddDone(1); // the header

    // Packing the sheets into the file takes a while too; a cancel then still leaves no file
    // once the caller throws the written one away.
    errno = 0;
    if (workbook_close(workbook) != LXW_NO_ERROR || FailedWrite(errno)) {
        error = errno ? errno : EIO;
        return WorkbookResult::Failed;
    }
    return control.Cancelled() ? WorkbookResult::Cancelled : WorkbookResult::Written;
}
