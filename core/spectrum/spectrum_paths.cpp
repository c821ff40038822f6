// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/spectrum_paths.h"

#include "core/spectrum/direct_sums.h"
#include "core/spectrum/kernels/sincos_kernels.h"
#include "core/spectrum/transform_path.h"

using namespace spectrum_internal;

bool ComputeSpectrumByDirectSums(AnalysisState &state, const SpectrumKernel &kernel,
                                 unsigned threads, TaskControl *control)
{
    std::vector<SampleRun> runs;
    return Sweep(state, kernel, threads, control, {}, runs);
}

bool ComputeSpectrumExactWhereShown(AnalysisState &state, std::int32_t shown,
                                    const SpectrumOptions &options, TaskControl *control)
{
    SpectrumPath path = options.path;
    if (path == SpectrumPath::Cheaper)
        path = CheaperPath(state.SampleCount, state.DutyCycle, state.HarmonicCount);
    if (path == SpectrumPath::Transform)
        return TransformExactWhereShown(state, shown, options, control);
    const SpectrumKernel &kernel = options.kernel ? *options.kernel : BestVectorKernel();
    return DirectSumsExactWhereShown(state, shown, kernel, options.threads, control);
}
