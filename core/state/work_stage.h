// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The stages long work tells its watcher it has reached: the analysis's transform path step by
// step, and the transform thread of the analysis and of the sum of the harmonics.
#pragma once

// Said on the thread that reaches the stage, as it begins. The transform runs on a thread of its
// own, which says TransformRunning before it and TransformEnded after; every other stage is said
// by the analysis's calling thread.
enum class WorkStage
{
    Sampling,
    CopyingSamples,
    TransformStarted,
    TransformRunning,
    TransformEnded,
    ExactSums,
    WaitingForTransform,
    ReadingBins,
    SummingAgain,
};
