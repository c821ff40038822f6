// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A signal opened from a file that an oscilloscope or a simulator wrote, analysed in place of a
// pulse shape: the capture as read, once, shared by every analysis made of it.
#pragma once

#include "core/state/analysis_state.h"
#include "core/texts/pulse_shapes.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>

struct Capture; // core/capture/capture_reader.h

struct MeasuredSignal
{
    MeasuredSignal(std::shared_ptr<const Capture> read, std::string fileName, double estimate)
        : capture(std::move(read)), name(std::move(fileName)), estimatedFrequency(estimate)
    {
        signalName = MeasuredSignalName;
        signalName += ": ";
        signalName += name;
    }

    std::shared_ptr<const Capture> capture;
    std::string name; // the file's name without its folder, UTF-8
    double estimatedFrequency = 0; // Hz, from the capture's edges
    std::string signalName; // "misurato: prova.csv"
};

// What the exports and the captions name the signal by: the shape's name, or "misurato: " and
// the file's name.
inline std::string_view SignalName(const AnalysisParameters &parameters)
{
    return parameters.Measured ? std::string_view(parameters.Measured->signalName)
                               : TextsOf(parameters.Shape).name;
}
