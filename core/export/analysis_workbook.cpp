// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/export/analysis_workbook.h"

#include "core/export/analysis_table.h"
#include "core/export/workbook_parts.h"
#include "core/platform/file_saving.h"
#include "core/platform/workbook_numbers.h"
#include "core/state/task_control.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// The library does not look whether its writes to its temporary files succeed: a full disk there
// leaves a sheet cut short in a workbook it calls written. The error number it leaves behind
// tells, until the library's next temporary file resets it.
bool FailedWrite(int error)
{
    return IsFailedWrite(error);
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
    else if (cell.kind == TableCell::Kind::Index)
        AppendIndex(cell.index, text);
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
    std::uint64_t bytes = 0; // of rows in its temporary file, once they are all written
};

constexpr std::array<std::string_view, 3> SheetNames
    = {HarmonicsSheet, SamplesSheet, ParametersSheet};

// The sheet of a kind of row, as an index into SheetNames.
std::size_t SheetOf(TableRow kind)
{
    return kind == TableRow::Sample ? 1 : kind == TableRow::Parameters ? 2 : 0;
}

bool Holds(std::string_view sheet, TableRow kind)
{
    return SheetNames[SheetOf(kind)] == sheet;
}

// The columns the sheet's rows fill; the kind of row is left out where a sheet holds one kind.
std::vector<std::size_t> SheetColumns(std::string_view sheet)
{
    std::vector<TableRow> kinds;
    for (const TableRow kind : {TableRow::DcComponent, TableRow::Measures, TableRow::Parameters,
                                TableRow::Harmonic, TableRow::Sample})
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
    case TableCell::Kind::Index:
        return worksheet_write_number(sheet, row, column, double(cell.index), format);
    case TableCell::Kind::Text:
        return worksheet_write_string(sheet, row, column, std::string(cell.text).c_str(), format);
    case TableCell::Kind::Empty:
        break;
    }
    return LXW_NO_ERROR;
}

// A workbook while it is written: the library's own, freed with its temporary files however the
// writing ends (a cancel, a failure, memory running out) unless it was closed.
struct Book
{
    std::optional<std::string> temporaryFolder; // the library keeps a pointer to it
    std::unique_ptr<lxw_workbook, decltype(&lxw_workbook_free)> workbook {nullptr,
                                                                          &lxw_workbook_free};
    lxw_format *bold = nullptr;
    std::array<Sheet, SheetNames.size()> sheets;
};

// Constant memory: each row goes to a temporary file as soon as the next one starts.
bool OpenBook(const std::string &path, Book &book)
{
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    book.temporaryFolder = TemporaryFolderForLibraries();
    if (book.temporaryFolder)
        options.tmpdir = book.temporaryFolder->data();
    book.workbook.reset(workbook_new_opt(path.c_str(), &options));
    if (!book.workbook)
        return false;
    book.bold = workbook_add_format(book.workbook.get());
    format_set_bold(book.bold);
    return true;
}

// The sheets, each under its bold, frozen header; the first error of the library.
lxw_error AddSheets(const AnalysisTable &table, Book &book)
{
    const auto &names = SheetNames;
    const AnalysisTable::Row header = table.Cells(0);
    lxw_error status = LXW_NO_ERROR;
    for (std::size_t s = 0; s < book.sheets.size(); ++s) {
        Sheet &sheet = book.sheets[s];
        sheet.sheet = workbook_add_worksheet(book.workbook.get(), std::string(names[s]).c_str());
        if (!sheet.sheet) // its temporary file could not be made
            return LXW_ERROR_CREATING_TMPFILE;
        sheet.columns = SheetColumns(names[s]);
        for (std::size_t j = 0; j < sheet.columns.size(); ++j) {
            const TableCell &name = header[sheet.columns[j]];
            sheet.widths.push_back(TextWidth(name.text) + 2); // bold letters are wider
            if (!status)
                status = WriteCell(sheet.sheet, 0, lxw_col_t(j), name, book.bold);
        }
        worksheet_freeze_panes(sheet.sheet, 1, 0);
        sheet.rows = 1;
    }
    return status;
}

// Rows first .. end - 1 of the table, each in its sheet, widening the columns to fit them.
lxw_error WriteRows(const AnalysisTable &table, std::int64_t first, std::int64_t end, Book &book)
{
    lxw_error status = LXW_NO_ERROR;
    for (std::int64_t row = first; row < end && !status; ++row) {
        Sheet &sheet = book.sheets[SheetOf(table.KindOf(row))];
        const AnalysisTable::Row cells = table.Cells(row);
        for (std::size_t j = 0; j < sheet.columns.size() && !status; ++j) {
            const TableCell &cell = cells[sheet.columns[j]];
            sheet.widths[j] = std::max(sheet.widths[j], CellWidth(cell) + 1);
            status = WriteCell(sheet.sheet, sheet.rows, lxw_col_t(j), cell, nullptr);
        }
        ++sheet.rows;
    }
    return status;
}

// The rows below the header, a chunk at a time between looks at the cancel flag, counted on
// `control`; `status` is the headers' outcome, which stops it before it starts.
WorkbookResult WriteBody(const AnalysisTable &table, lxw_error status, TaskControl &control,
                         Book &book, int &error)
{
    for (std::int64_t first = 1; first < table.RowCount() && !status; first += RowsPerChunk) {
        if (control.Cancelled())
            return WorkbookResult::Cancelled;
        const std::int64_t end = std::min(first + RowsPerChunk, table.RowCount());
        status = WriteRows(table, first, end, book);
        control.AddDone(end - first);
        if (FailedWrite(errno))
            break;
    }
    if (status || FailedWrite(errno)) {
        error = FailedWrite(errno) ? errno : EIO;
        return WorkbookResult::Failed;
    }
    return WorkbookResult::Written;
}

// Flushes each sheet's temporary file of rows while errno can still say why a write failed, and
// keeps how many bytes of rows it holds.
bool RowsKept(Book &book, int &error)
{
    for (Sheet &sheet : book.sheets) {
        std::FILE *rows = sheet.sheet->optimize_tmpfile;
        errno = 0;
        if (std::fflush(rows) != 0 || std::ferror(rows)) {
            error = errno ? errno : EIO;
            return false;
        }
        sheet.bytes = std::uint64_t(std::max(0L, std::ftell(rows)));
    }
    return true;
}

void SetColumnWidths(const Book &book)
{
    for (const Sheet &sheet : book.sheets)
        for (std::size_t j = 0; j < sheet.widths.size(); ++j)
            worksheet_set_column(sheet.sheet, lxw_col_t(j), lxw_col_t(j), double(sheet.widths[j]),
                                 nullptr);
}

// Every part the library put in the zip at `path` is there whole: none empty, and each sheet at
// least as long as the rows it was given.
bool WholeParts(const std::string &path, const Book &book)
{
    const auto parts = ReadWorkbookParts(path);
    if (!parts)
        return false;
    for (const WorkbookPart &part : *parts) {
        if (part.bytes == 0)
            return false;
        for (std::size_t s = 0; s < book.sheets.size(); ++s)
            if (part.name == "xl/worksheets/sheet" + std::to_string(s + 1) + ".xml"
                && part.bytes <= book.sheets[s].bytes)
                return false;
    }
    return true;
}

// Packs the sheets into the file at `path`. The library copies each part through a temporary
// file of its own and never looks whether those writes succeed; what the next temporary file
// resets errno to then hides a full disk, which leaves a part empty or cut short in a workbook it
// calls written. So the written parts are looked at too, and a part cut short is told as the disk
// that filled up under it.
bool CloseBook(const std::string &path, Book &book, int &error)
{
    errno = 0;
    if (workbook_close(book.workbook.release()) != LXW_NO_ERROR || FailedWrite(errno)) {
        error = errno ? errno : EIO;
        return false;
    }
    if (!WholeParts(path, book)) {
        error = FailedWrite(errno) ? errno : ENOSPC;
        return false;
    }
    return true;
}

} // namespace

std::int64_t WorkbookSheetRows(const AnalysisTable &table)
{
    // The DC component and the harmonics come first, then the samples, then the measures and the
    // parameters: find where the samples start.
    if (table.RowCount() < 3)
        return 1;
    const std::int64_t measures = table.MeasuresRow();
    // The measures' rows: the analysis's, and the reference's where one is held.
    const std::int64_t measured = (table.RowCount() - measures) / 2;
    std::int64_t low = 1, high = measures;
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (table.KindOf(middle) == TableRow::Sample)
            high = middle;
        else
            low = middle + 1;
    }
    // The measures' row goes with the harmonics; the parameters' has a sheet of its own.
    return std::max(low - 1 + measured + 1, 1 + measures - low); // each with its header
}

WorkbookResult WriteAnalysisWorkbook(const AnalysisTable &table, const std::string &path,
                                     TaskControl &control, int &error)
{
    error = 0;
    if (!WorkbookNumbers::Exact() || WorkbookSheetRows(table) > LXW_ROW_MAX) {
        error = EIO;
        return WorkbookResult::Failed;
    }
    const WorkbookNumbers exact;
    errno = 0;
    Book book;
    if (!OpenBook(path, book)) {
        error = ENOMEM;
        return WorkbookResult::Failed;
    }
    const lxw_error headers = AddSheets(table, book);
    if (const auto body = WriteBody(table, headers, control, book, error);
        body != WorkbookResult::Written)
        return body;
    if (!RowsKept(book, error))
        return WorkbookResult::Failed;
    SetColumnWidths(book);
    control.AddDone(1); // the header

    // Packing the sheets into the file takes a while too; a cancel then still leaves no file
    // once the caller throws the written one away.
    if (!CloseBook(path, book, error))
        return WorkbookResult::Failed;
    return control.Cancelled() ? WorkbookResult::Cancelled : WorkbookResult::Written;
}
