// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How much memory this machine can still give the program.
#pragma once

#include <cstdint>

// Bytes available for new allocations (MemAvailable), or the physical memory when that is not
// known. The one way free memory is asked: every computation refused for want of it (the
// analysis, the sum of the harmonics) asks here.
std::uint64_t AvailableMemoryBytes();

namespace platform_internal {

// The system's own answer, in system_memory_linux.cpp and system_memory_windows.cpp.
std::uint64_t SystemAvailableMemoryBytes();

} // namespace platform_internal
