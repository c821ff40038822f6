// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The parts a written workbook holds, as its zip's central directory lists them: how a workbook
// that libxlsxwriter cut short is told from a whole one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct WorkbookPart
{
    std::string name; // its path in the zip ("xl/worksheets/sheet1.xml")
    std::uint64_t bytes; // unpacked
};

// The parts of the zip at `path`, in the directory's order; nothing when the file is no zip whose
// directory can be read whole.
std::optional<std::vector<WorkbookPart>> ReadWorkbookParts(const std::string &path);
