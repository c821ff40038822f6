// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Whoever watches long work through its TaskControl: it hears what the work counts and the stages
// it reaches. Tests hold, cancel and look at the work there; the program runs with no watcher.
#pragma once

#include <cstdint>

enum class WorkStage; // work_stage.h, for the watchers that tell stages apart

class WorkWatcher
{
public:
    virtual ~WorkWatcher() = default;
    // On a working thread (several at once for threaded work) after the work counted what it has
    // done, with the total so far; the work goes on once this returns.
    virtual void Counted(std::int64_t /*done*/) { }
    // On the thread that reaches `stage`, as it begins; the work goes on once this returns. A
    // transform left running by a cancel still says when it ends: the watcher must outlive it.
    virtual void Reached(WorkStage /*stage*/) { }
};
