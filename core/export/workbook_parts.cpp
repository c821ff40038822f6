// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/workbook_parts.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// The zip format's little-endian fields; a zip without the ZIP64 extensions, as libxlsxwriter
// writes it unless told otherwise.
constexpr std::uint32_t EndOfDirectory = 0x06054b50;
constexpr std::uint32_t DirectoryEntry = 0x02014b50;
constexpr std::size_t EndBytes = 22;
constexpr std::size_t EntryBytes = 46;
constexpr std::size_t LongestComment = 0xFFFF;

std::uint32_t Field(const unsigned char *at, int bytes)
{
    std::uint32_t value = 0;
    for (int b = bytes - 1; b >= 0; --b)
        value = value << 8 | at[b];
    return value;
}

using File = std::unique_ptr<std::FILE, decltype(&std::fclose)>;

bool ReadAt(std::FILE *file, long offset, std::vector<unsigned char> &bytes)
{
    return std::fseek(file, offset, SEEK_SET) == 0
        && std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

} // namespace

std::optional<std::vector<WorkbookPart>> ReadWorkbookParts(const std::string &path)
{
    const File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return std::nullopt;
    const long size = std::ftell(file.get());
    if (size < long(EndBytes))
        return std::nullopt;
    // The end record closes the file, followed only by a comment of at most 64 KB.
    std::vector<unsigned char> tail(std::min<std::size_t>(size, EndBytes + LongestComment));
    if (!ReadAt(file.get(), size - long(tail.size()), tail))
        return std::nullopt;
    std::size_t end = tail.size() - EndBytes + 1;
    while (end-- > 0 && Field(&tail[end], 4) != EndOfDirectory) { }
    if (end == std::size_t(-1))
        return std::nullopt;
    const std::uint32_t count = Field(&tail[end + 10], 2);
    std::vector<unsigned char> directory(Field(&tail[end + 12], 4));
    if (!ReadAt(file.get(), long(Field(&tail[end + 16], 4)), directory))
        return std::nullopt;

    std::vector<WorkbookPart> parts;
    for (std::size_t at = 0; parts.size() < count;) {
        if (at + EntryBytes > directory.size() || Field(&directory[at], 4) != DirectoryEntry)
            return std::nullopt;
        const std::size_t nameBytes = Field(&directory[at + 28], 2);
        const std::size_t next = at + EntryBytes + nameBytes + Field(&directory[at + 30], 2)
            + Field(&directory[at + 32], 2);
        if (next > directory.size())
            return std::nullopt;
        const auto name = reinterpret_cast<const char *>(&directory[at + EntryBytes]);
        parts.push_back({std::string(name, nameBytes), Field(&directory[at + 24], 4)});
        at = next;
    }
    return parts;
}
