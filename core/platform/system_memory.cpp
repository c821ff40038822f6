// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/system_memory.h"

#include "core/platform/for_tests.h"

#include <atomic>

namespace {

// What the tests set, where they set it; read on whichever thread asks.
std::atomic<bool> told {false};
std::atomic<std::uint64_t> toldBytes {0};

} // namespace

std::uint64_t AvailableMemoryBytes()
{
    return told ? toldBytes.load() : platform_internal::SystemAvailableMemoryBytes();
}

void testing_seam::SetAvailableMemoryBytes(std::optional<std::uint64_t> bytes)
{
    toldBytes = bytes.value_or(0);
    told = bytes.has_value();
}
