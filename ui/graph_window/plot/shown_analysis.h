// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis the plot shows: the input's, or with a filter chosen, the output of that filter
// (FilterOutput), which the layers over the graphs, the views, the readout and the measures read
// as they read the input's. The output follows the input and the filter: it is made again, once,
// when either has changed since it was made.
#pragma once

#include "core/spectrum/filters.h"
#include "core/spectrum/reference_trace.h"
#include "core/state/analysis_state.h"

#include <QString>

#include <cstdint>
#include <optional>

class MessageBox;
class QWidget;
class TaskGate;

class ShownAnalysis
{
public:
    explicit ShownAnalysis(AnalysisState &input) : input_(input) { }
    ShownAnalysis(const ShownAnalysis &) = delete;
    ShownAnalysis &operator=(const ShownAnalysis &) = delete;

    // What the plot shows: the filter's output while one is chosen and made, else the input.
    AnalysisState &operator()() { return output_ ? *output_ : input_; }
    const AnalysisState &operator()() const { return output_ ? *output_ : input_; }
    AnalysisState &Input() { return input_; }
    const AnalysisState &Input() const { return input_; }
    // The filter the output was made with; FilterKind::None while the input is shown.
    const FilterSettings &Filter() const { return made_; }
    bool Filtered() const { return output_.has_value(); }
    // The analysis held as the reference, drawn behind the one shown on scales that fit both;
    // none while none is held. It must outlive its use here.
    const AnalysisState *Reference() const { return held_ ? &held_->analysis : nullptr; }
    // With the filter it went through.
    const HeldReference *Held() const { return held_; }
    void SetReference(const HeldReference *held) { held_ = held; }

    // The filter to show the output of from the next Follow; FilterKind::None for the input.
    void Choose(const FilterSettings &filter) { wanted_ = filter; }
    const FilterSettings &Chosen() const { return wanted_; }

    // Brings the output up to date with the input (whose peaks are found) and the filter chosen,
    // taking it away from the windows' thread with its progress shown when it lasts. The output's
    // peaks are the larger of its own and the input's, so that both fit on one scale. False when
    // the output could not be made (cancelled, too little memory, which `messages` then says): the
    // input is shown, and the filter chosen is none.
    bool Follow(const TaskGate &tasks, QWidget *parent, MessageBox &messages);

private:
    // What the output was made from: the input's arrays and the parameters that make them.
    struct Made
    {
        const double *coefficients = nullptr;
        const double *samples = nullptr;
        AnalysisParameters parameters;
        double meanValue = 0;
        double signalPeak = 0, spectrumPeak = 0;
        bool operator==(const Made &) const = default;
    };
    Made MadeNow() const;

    AnalysisState &input_;
    const HeldReference *held_ = nullptr;
    std::optional<AnalysisState> output_;
    FilterSettings wanted_;
    FilterSettings made_;
    Made from_;
};
