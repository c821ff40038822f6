// One long task at a time over the analysis state: a command computing an analysis, or an export
// reading one. Long tasks wait in a nested event loop, where a second task could otherwise be
// started by click(), an accessibility action or a shortcut; each asks the gate first.
#pragma once

class TaskGate
{
public:
    // False while another task runs: the caller then does nothing.
    bool TryEnter()
    {
        if (busy_)
            return false;
        busy_ = true;
        return true;
    }
    void Leave() { busy_ = false; }

private:
    bool busy_ = false;
};
