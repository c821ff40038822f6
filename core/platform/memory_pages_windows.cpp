// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Advice on pages on Windows: none is given. Large pages there need a privilege a user does not
// have, and pages are mapped at their first write as they are without advice. The C library's
// heap takes no settings for keeping freed blocks.
#include "core/platform/memory_pages.h"

void MapForWriting(double *, double *) { }

void AdviseLargePages(void *, std::size_t) { }

void KeepFreedMemoryForReuse() { }
