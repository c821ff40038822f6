// One long task at a time over the analysis state: a command computing an analysis, or an export
// reading one. Long tasks wait in a nested event loop, where a second task could otherwise be
// started by click(), an accessibility action or a shortcut; each enters the gate first.
#pragma once

class TaskGate
{
public:
    TaskGate() = default;
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
};
