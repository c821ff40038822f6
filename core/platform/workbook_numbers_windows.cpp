// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The workbook library of the Windows build writes the shortest digits itself (USE_DTOA_LIBRARY).
#include "core/platform/workbook_numbers.h"

WorkbookNumbers::WorkbookNumbers() = default;

WorkbookNumbers::~WorkbookNumbers() = default;

bool WorkbookNumbers::Exact()
{
    return true;
}
