// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/spectrum_paths.h"

#include "core/spectrum/direct_sums.h"
#include "core/spectrum/kernels/sincos_kernels.h"
#include "core/spectrum/transform_path.h"

#include <algorithm>

using namespace spectrum_internal;

bool ComputeSpectrumExactWhereShown(AnalysisState &state, std::int32_t shown,
                                    const SpectrumOptions &options, TaskControl *control)
{
    SpectrumOptions used = options;
    used.threads = std::max(1u, options.threads); // the paths take the count as it comes
    SpectrumPath path = options.path;
    if (path == SpectrumPath::Cheaper)
        path = CheaperPath(state.SampleCount, state.DutyCycle, state.HarmonicCount);
    if (path == SpectrumPath::Transform)
        return TransformExactWhereShown(state, shown, used, control);
    const SpectrumKernel &kernel = options.kernel ? *options.kernel : BestVectorKernel();
    return DirectSumsExactWhereShown(state, shown, kernel, used.threads, control);
}
