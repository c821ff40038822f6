// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis on the transform path: one real transform of the samples for the bulk of the
// harmonics, every number shown summed exactly. Internal to the spectrum room.
#pragma once

#include "core/state/analysis_state.h"

#include <cstdint>

class TaskControl;
struct SpectrumOptions;

namespace spectrum_internal {

// Samples, one transform on its own thread while harmonics 1 and z are summed exactly on this
// one, the other harmonics read from the bins with each modulus's range, and the harmonics whose
// range reaches the largest lower end summed again exactly. Each stage is told to the control's
// watcher as it begins. False when cancelled.
bool TransformExactWhereShown(AnalysisState &state, std::int32_t shown,
                              const SpectrumOptions &options, TaskControl *control);

} // namespace spectrum_internal
