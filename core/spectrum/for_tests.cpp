// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/for_tests.h"

#include "core/spectrum/direct_sums.h"
#include "core/spectrum/pulse_sampling.h"

namespace testing_seam {

bool ComputeSpectrumByDirectSums(AnalysisState &state, const SpectrumKernel &kernel,
                                 unsigned threads, TaskControl *control)
{
    std::vector<spectrum_internal::SampleRun> runs;
    return spectrum_internal::Sweep(state, kernel, threads, control, {}, runs);
}

void SamplePulse(AnalysisState &state, unsigned threads)
{
    spectrum_internal::SamplePulse(state, threads, nullptr);
}

} // namespace testing_seam
