// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The platform's seam for the tests: what only they call, never the program.
#pragma once

#include <cstdint>
#include <optional>

namespace testing_seam {

// From now on AvailableMemoryBytes() answers `bytes`, or the system's own answer again for
// nothing: every refusal for want of memory, the analysis's and the sum of the harmonics', is
// then tested the same way. Set from the tests' own thread, between computations.
void SetAvailableMemoryBytes(std::optional<std::uint64_t> bytes);

} // namespace testing_seam
