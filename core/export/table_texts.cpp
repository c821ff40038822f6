// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/export/table_texts.h"

#include "core/export/analysis_table.h"

namespace {

void Utf8(char16_t c, std::string &out)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void LocalNumber(double value, char16_t decimalSeparator, std::string &out)
{
    std::string text;
    AppendShortestNumber(value, text);
    for (const char c : text) {
        if (c == '.')
            Utf8(decimalSeparator, out);
        else
            out += c;
    }
}

// A text cell as a spreadsheet's paste keeps it: tabs and line ends would split it.
void TabText(std::string_view text, std::string &out)
{
    for (const char c : text)
        out += c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
}

void HtmlText(std::string_view text, std::string &out)
{
    for (const char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
}

void CellText(const TableCell &cell, char16_t decimalSeparator, bool html, std::string &out)
{
    switch (cell.kind) {
    case TableCell::Kind::Number:
        return LocalNumber(cell.number, decimalSeparator, out);
    case TableCell::Kind::Index:
        return AppendIndex(cell.index, out);
    case TableCell::Kind::Text:
        return html ? HtmlText(cell.text, out) : TabText(cell.text, out);
    case TableCell::Kind::Empty:
        return;
    }
}

} // namespace

void AppendTabRows(const AnalysisTable &table, std::int64_t first, std::int64_t count,
                   char16_t decimalSeparator, std::string &out)
{
    for (std::int64_t row = first; row < first + count; ++row) {
        const AnalysisTable::Row cells = table.Cells(row);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (c > 0)
                out += '\t';
            CellText(cells[c], decimalSeparator, false, out);
        }
        out += '\n';
    }
}

void AppendHtmlStart(std::string &out)
{
    out += "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body><table>\n";
}

void AppendHtmlRows(const AnalysisTable &table, std::int64_t first, std::int64_t count,
                    char16_t decimalSeparator, std::string &out)
{
    for (std::int64_t row = first; row < first + count; ++row) {
        const char *cell = row == 0 ? "th" : "td";
        out += "<tr>";
        for (const TableCell &c : table.Cells(row)) {
            out += '<';
            out += cell;
            out += '>';
            CellText(c, decimalSeparator, true, out);
            out += "</";
            out += cell;
            out += '>';
        }
        out += "</tr>\n";
    }
}

void AppendHtmlEnd(std::string &out)
{
    out += "</table></body></html>\n";
}
