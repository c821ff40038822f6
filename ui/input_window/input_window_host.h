// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis_progress.h"
#include "form1.h"

#include "core/analysis/commands.h"

// What the commands need from this window: its message box, its green marking, and the long
// work of an analysis, which runs while the command holds its pass of the task gate.
class InputWindowHost : public CommandHost
{
public:
    explicit InputWindowHost(Form1 &form) : form_(form) { }
    MessageBox &Messages() override { return form_.messages_; }
    void MarkParameterFields() override { form_.MarkParameterFields(); }
    AnalysisOutcome Compute(AnalysisState &analysis) override
    {
        return ComputeWithProgress(form_.tasks_, &form_, analysis);
    }

private:
    Form1 &form_;
};
