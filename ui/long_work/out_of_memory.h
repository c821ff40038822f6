// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Memory running out in long work, one way for every caller: the std::bad_alloc becomes the
// program's own words for the task, never an exception out of a slot or the program's end.
#pragma once

#include "core/texts/refusal.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What was being done when memory ran out, each told in its existing words.
enum class MemoryTask
{
    Computation, // an analysis or the sum of the harmonics: ComputationOutOfMemory's message
    Save, // a file: SaveProblem::NotEnoughMemory, naming the file
    Copy, // the clipboard: UiText::CopyOutOfMemory
};

// The refusal of a computation that ran out of memory, which its command shows.
inline const Refusal ComputationOutOfMemory {Reason::AllocationFailed};

// Runs `work`, which may wait for long work through RunWithProgress. When memory runs out in it
// (a std::bad_alloc thrown here, or on the worker and thrown again here once it has ended), the
// work is over and what it held is freed: returns the message `task` shows then, naming `path`
// for a save. Nothing when the work ended any other way, which it tells itself.
[[nodiscard]] std::optional<std::u16string> OutOfMemoryMessage(MemoryTask task,
                                                               const std::function<void()> &work,
                                                               std::u16string_view path = {});
