// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One long task at a time over the analysis state: a command computing an analysis, or an export
// reading one. Long tasks wait in a nested event loop, where a second task could otherwise be
// started by click(), an accessibility action or a shortcut; each enters the gate first.
#pragma once

#include "core/state/work_watcher.h"

#include <cstdint>

// The windows' watcher of long work: where a test holds long work at known points, so that what
// it checks does not depend on the machine's speed. Beside what every watcher hears (the counts,
// the stages), it hears the work start and end on the windows' side, and sets how long the
// progress dialog waits. The program runs without one.
class WorkPace : public WorkWatcher
{
public:
    // On the windows' thread, as long work starts with `total` to count up to.
    virtual void Starting(std::int64_t total) = 0;
    // On the worker, once the work has ended and before the windows' thread can hear of it.
    virtual void Ended() = 0;
    // How long work runs before its progress dialog appears.
    virtual int DialogDelayMs() const = 0;
};

class TaskGate
{
public:
    TaskGate() = default;
    // Long work run through this gate goes at `pace`, which must outlive the gate.
    explicit TaskGate(WorkPace &pace) : pace_(&pace) { }
    // What long work run through the gate goes at; none in the program.
    WorkPace *Pace() const { return pace_; }
    // One gate for the whole program, handed to each window by reference.
    TaskGate(const TaskGate &) = delete;
    TaskGate &operator=(const TaskGate &) = delete;

    // Holds the gate until it goes out of scope; false when another task held it already, and
    // the caller then does nothing.
    class Pass
    {
    public:
        explicit Pass(TaskGate &gate) : gate_(gate.busy_ ? nullptr : &gate)
        {
            if (gate_)
                gate_->busy_ = true;
        }
        ~Pass()
        {
            if (gate_)
                gate_->busy_ = false;
        }
        Pass(const Pass &) = delete;
        Pass &operator=(const Pass &) = delete;
        explicit operator bool() const { return gate_ != nullptr; }

    private:
        TaskGate *gate_;
    };

private:
    bool busy_ = false;
    WorkPace *const pace_ = nullptr;
};
