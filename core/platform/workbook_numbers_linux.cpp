// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/workbook_numbers.h"

#include <printf.h>

#include <charconv>
#include <cstdio>

namespace {

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

} // namespace

WorkbookNumbers::WorkbookNumbers()
{
    writingWorkbook = true;
}

WorkbookNumbers::~WorkbookNumbers()
{
    writingWorkbook = false;
}

bool WorkbookNumbers::Exact()
{
    return exactDoubles;
}
