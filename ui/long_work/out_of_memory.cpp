// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "out_of_memory.h"

#include "core/texts/messages.h"

#include <new>

std::optional<std::u16string> OutOfMemoryMessage(MemoryTask task, const std::function<void()> &work,
                                                 std::u16string_view path)
{
    try {
        work();
        return std::nullopt;
    } catch (const std::bad_alloc &) { }
    switch (task) {
    case MemoryTask::Computation:
        return MessageText(ComputationOutOfMemory);
    case MemoryTask::Save:
        return SaveFailedText(path, SaveProblem::NotEnoughMemory);
    case MemoryTask::Copy:
        break;
    }
    return std::u16string(TextOf(UiText::CopyOutOfMemory));
}
