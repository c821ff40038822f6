// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/transform_path.h"

#include "core/spectrum/bin_reading.h"
#include "core/spectrum/direct_sums.h"
#include "core/spectrum/fft/real_transform.h"
#include "core/spectrum/fft/transform_thread.h"
#include "core/spectrum/kernels/sincos_kernels.h"
#include "core/spectrum/paths_shared.h"
#include "core/spectrum/signal_measures.h"
#include "core/spectrum/spectrum.h"
#include "core/spectrum/work_sharing.h"
#include "core/state/work_stage.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace spectrum_internal {

namespace {

// One analysis on the transform path, step by step.
class TransformPath
{
public:
    TransformPath(AnalysisState &state, std::int32_t shown, const SpectrumOptions &options,
                  TaskControl *control)
        : state_(state), options_(options), control_(control), threads_(options.threads),
          n_(state.SampleCount), hmax_(RoundToCount(state.HarmonicCount)),
          exact_(ExactFromTheStart(hmax_, shown))
    { }

    bool Run();

private:
    void StartPlanning();
    bool SampleIntoTransform();
    bool SurveyWhileTransforming();
    bool SumExactly();
    bool ReadTheBins();
    bool SumAgainWhereReachingTheFloor();

    AnalysisState &state_;
    const SpectrumOptions &options_;
    TaskControl *const control_;
    const unsigned threads_;
    const std::int64_t n_;
    const std::int64_t hmax_;
    const std::vector<std::int64_t> exact_;
    std::shared_ptr<RealTransform> transform_;
    std::optional<TransformThread> running_;
    SummedAlong along_;
    std::vector<SampleRun> runs_;
    double sampleSum_ = 0; // in index order
    bool samplesUsable_ = false;
    std::optional<BinReading> reading_;
    std::vector<std::int64_t> again_; // summed again after the reading
    TransformRounding rounding_ {};
};

bool TransformPath::Run()
{
    if (hmax_ >= 1)
        StartPlanning();
    along_ = ChooseSummedAlong(state_, exact_);
    Reach(control_, WorkStage::Sampling);
    AllocateArrays(state_);
    if (hmax_ < 1) // no harmonic: nothing to transform
        return SamplePulse(state_, threads_, control_) && Survey(state_, control_, runs_);
    if (!SampleIntoTransform() || !SurveyWhileTransforming())
        return false;
    if (runs_.empty()) { // every sum without a term: +0
        if (control_)
            control_->AddDone(hmax_);
        return true;
    }
    if (!SumExactly() || !ReadTheBins() || !SumAgainWhereReachingTheFloor())
        return false;
    running_->KeepWhenDone();
    if (options_.results) {
        *options_.results = reading_->Found(samplesUsable_, again_);
        options_.results->rounding = rounding_;
    }
    return true;
}

// The transform's thread, which makes its plan while the samples are computed.
void TransformPath::StartPlanning()
{
    // Harmonics 1 to H read bins 1 to H where H is below N / 2, and every bin from there on.
    transform_ = RealTransform::Take(n_, hmax_ < n_ / 2 ? hmax_ + 1 : -1);
    running_.emplace(transform_, TransformThread::Direction::Forward,
                     control_ ? control_->Watcher() : nullptr);
}

// The samples go to the transform as they are computed; then the zeros past the pulse, and the
// transform starts.
bool TransformPath::SampleIntoTransform()
{
    double *reals = transform_->Reals();
    if (!SamplePulse(state_, threads_, control_, &along_, reals))
        return false;
    Reach(control_, WorkStage::CopyingSamples);
    const std::int64_t pulseEnd = std::clamp<std::int64_t>(
        RoundToCount(static_cast<double>(n_) * state_.DutyCycle) + 1, 0, n_);
    const bool zeroed = ForEachItem(
        (n_ - pulseEnd + Chunk - 1) / Chunk, threads_, control_, [&](std::int64_t chunk) {
            const std::int64_t begin = pulseEnd + chunk * Chunk;
            std::fill(reals + begin, reals + std::min(n_, begin + Chunk), 0.0);
            return true;
        });
    if (!zeroed)
        return false;
    running_->Start();
    Reach(control_, WorkStage::TransformStarted);
    return true;
}

// The peak, the mean, the runs and the samples' measures while the transform runs.
bool TransformPath::SurveyWhileTransforming()
{
    return Survey(state_, control_, runs_, &sampleSum_, &samplesUsable_)
        && MeasureSamples(state_, control_);
}

// Harmonics 1 and z, exactly, on every thread but the one the transform takes.
bool TransformPath::SumExactly()
{
    Reach(control_, WorkStage::ExactSums);
    const std::vector<std::int64_t> exactLeft = KeepSummedAlong(state_, along_, exact_, control_);
    const bool summed = ForEachItem(static_cast<std::int64_t>(exactLeft.size()),
                                    std::max(1u, threads_ - 1), control_, [&](std::int64_t item) {
                                        HarmonicGroup group {&ExactKernel(), {exactLeft[item]}, 1};
                                        return SumGroup(state_, runs_, group, control_);
                                    });
    if (!summed)
        return false;
    for (const std::int64_t k : exact_)
        ComputeMagnitude(state_, k);
    return true;
}

// Once the transform has ended: every other harmonic from the bins.
bool TransformPath::ReadTheBins()
{
    Reach(control_, WorkStage::WaitingForTransform);
    if (!running_->Wait(control_))
        return false;
    Reach(control_, WorkStage::ReadingBins);
    rounding_ = transform_->Rounding();
    reading_.emplace(state_, transform_->Bins(), rounding_, *state_.Measures, sampleSum_,
                     runs_.back().end - 1, exact_);
    if (!reading_->Read(threads_, control_))
        return false;
    if (exact_.back() != hmax_) { // else CosSum and SinSum were left by its exact sums
        const SumPair sums = BinSums(transform_->Bins(), n_, hmax_ % n_);
        state_.CosSum = sums.cos;
        state_.SinSum = sums.sin;
    }
    return true;
}

// Which harmonics can hold the largest modulus: those whose range reaches the floor, summed again.
bool TransformPath::SumAgainWhereReachingTheFloor()
{
    Reach(control_, WorkStage::SummingAgain);
    return reading_->ReachingTheFloor(control_, again_)
        && SumAgain(state_, runs_, again_, threads_, control_);
}

} // namespace

bool TransformExactWhereShown(AnalysisState &state, std::int32_t shown,
                              const SpectrumOptions &options, TaskControl *control)
{
    return TransformPath(state, shown, options, control).Run();
}

} // namespace spectrum_internal
