// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The entries of a zip file read back with zlib alone, and the cells of a workbook's sheets read
// from them as plain text: what a spreadsheet would find in the file, whatever wrote it.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zip_detail {

inline std::uint32_t Le(const std::string &data, std::size_t at, int bytes)
{
    std::uint32_t value = 0;
    for (int b = bytes - 1; b >= 0; --b)
        value = value << 8 | std::uint8_t(data[at + std::size_t(b)]);
    return value;
}

inline std::string Inflated(std::string_view packed, std::size_t size)
{
    std::string out(size, '\0');
    z_stream stream {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return {};
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.data()));
    stream.avail_in = uInt(packed.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    return status == Z_STREAM_END ? out : std::string();
}

} // namespace zip_detail

// The entries whose names start with `prefix`, by name; none when the file is no zip.
inline std::map<std::string, std::string> ZipEntries(const std::string &path,
                                                     std::string_view prefix)
{
    using zip_detail::Le;
    std::ifstream in(path, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::map<std::string, std::string> entries;
    if (data.size() < 22)
        return entries;
    std::size_t end = data.size() - 22;
    while (end > 0 && Le(data, end, 4) != 0x06054b50)
        --end;
    if (Le(data, end, 4) != 0x06054b50)
        return entries;
    std::size_t at = Le(data, end + 16, 4);
    for (std::uint32_t n = Le(data, end + 10, 2); n > 0 && at + 46 <= data.size(); --n) {
        if (Le(data, at, 4) != 0x02014b50)
            break;
        const std::uint32_t method = Le(data, at + 10, 2);
        const std::uint32_t packed = Le(data, at + 20, 4), size = Le(data, at + 24, 4);
        const std::uint32_t nameLength = Le(data, at + 28, 2);
        const std::uint32_t skipped = Le(data, at + 30, 2) + Le(data, at + 32, 2);
        const std::uint32_t local = Le(data, at + 42, 4);
        const std::string name = data.substr(at + 46, nameLength);
        at += 46 + nameLength + skipped;
        if (name.rfind(prefix, 0) != 0 || local + 30 > data.size())
            continue;
        const std::size_t start = local + 30 + Le(data, local + 26, 2) + Le(data, local + 28, 2);
        const std::string_view body = std::string_view(data).substr(start, packed);
        entries[name] = method == 0 ? std::string(body) : zip_detail::Inflated(body, size);
    }
    return entries;
}

// The text between `open` and `close` from `from` on, and where it ends; npos when not found.
inline std::size_t Between(const std::string &text, std::size_t from, std::string_view open,
                           std::string_view close, std::string &found)
{
    const std::size_t start = text.find(open, from);
    if (start == std::string::npos)
        return std::string::npos;
    const std::size_t end = text.find(close, start + open.size());
    if (end == std::string::npos)
        return std::string::npos;
    found = text.substr(start + open.size(), end - start - open.size());
    return end + close.size();
}

// The <v> texts of every sheet, sheet after sheet.
inline std::vector<std::string> SheetValues(const std::string &path)
{
    std::vector<std::string> values;
    for (const auto &[name, sheet] : ZipEntries(path, "xl/worksheets/sheet")) {
        std::string value;
        for (std::size_t at = 0;
             (at = Between(sheet, at, "<v>", "</v>", value)) != std::string::npos;)
            values.push_back(value);
    }
    return values;
}

// Each sheet as lines of tab-separated cells, a column where its reference puts it, numbers as
// written and inline strings as their text; a line "#" before each sheet.
inline std::vector<std::string> SheetGrid(const std::string &path)
{
    std::vector<std::string> lines;
    for (const auto &[name, sheet] : ZipEntries(path, "xl/worksheets/sheet")) {
        lines.push_back("#");
        std::string row;
        for (std::size_t at = 0;
             (at = Between(sheet, at, "<row ", "</row>", row)) != std::string::npos;) {
            std::map<int, std::string> cells;
            for (std::size_t c = row.find("<c r=\""); c != std::string::npos;
                 c = row.find("<c r=\"", c + 1)) {
                int column = 0;
                for (std::size_t i = c + 6; i < row.size() && row[i] >= 'A' && row[i] <= 'Z'; ++i)
                    column = column * 26 + (row[i] - 'A' + 1);
                const std::size_t tagEnd = row.find('>', c);
                std::string text;
                if (row[tagEnd - 1] != '/') {
                    const std::string body
                        = row.substr(tagEnd + 1, row.find("</c>", tagEnd) - tagEnd - 1);
                    if (Between(body, 0, "<v>", "</v>", text) == std::string::npos) {
                        const std::size_t t = body.find("<t");
                        if (t != std::string::npos)
                            text = body.substr(body.find('>', t) + 1,
                                               body.find("</t>", t) - body.find('>', t) - 1);
                    }
                }
                cells[column - 1] = text;
            }
            std::string line;
            const int columns = cells.empty() ? 0 : cells.rbegin()->first + 1;
            for (int column = 0; column < columns; ++column)
                line
                    += (column ? "\t" : "") + (cells.count(column) ? cells[column] : std::string());
            lines.push_back(line);
        }
    }
    return lines;
}
