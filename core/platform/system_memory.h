// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How much memory this machine can still give the program.
#pragma once

#include <cstdint>

// Bytes available for new allocations (MemAvailable), or the physical memory when that is not
// known.
std::uint64_t AvailableMemoryBytes();
