// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The free memory every refusal for want of memory sees, set for as long as the object lives.
#pragma once

#include "core/platform/for_tests.h"

#include <cstdint>
#include <optional>

class AvailableMemory
{
public:
    explicit AvailableMemory(std::uint64_t bytes) { Set(bytes); }
    ~AvailableMemory() { testing_seam::SetAvailableMemoryBytes(std::nullopt); }
    AvailableMemory(const AvailableMemory &) = delete;
    AvailableMemory &operator=(const AvailableMemory &) = delete;

    void Set(std::uint64_t bytes) { testing_seam::SetAvailableMemoryBytes(bytes); }
};
