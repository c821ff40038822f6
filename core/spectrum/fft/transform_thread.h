// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A transform run on a thread of its own, which a cancel may leave behind: the one way the
// program's long transforms (the analysis's forward one, the sum's inverse one) stay cancellable,
// as FFTW cannot be interrupted once started.
//
// The rule of these threads: a thread left behind by a finished or cancelled analysis reads and
// writes only what it owns a share of (the transform, its plans, the flags between it and the
// waiter), never the analysis's arrays, so it may outlive the analysis and everything it had;
// the one thing it holds by pointer, a watcher, must outlive it. Its transform goes to the kept
// buffers for the next analysis only once the thread is done with it (KeepWhenDone), so that no
// two analyses ever use one transform at once.
#pragma once

#include "core/spectrum/fft/real_transform.h"

#include <functional>
#include <memory>

class TaskControl;
class WorkWatcher;

class TransformThread
{
public:
    enum class Direction
    {
        Forward,
        Inverse
    };
    // The thread shares `transform`: it makes the forward plan meanwhile (where that is the
    // direction), then waits for Start. Destroyed before Start, the transform is never run;
    // after Start, a transform not waited for to its end finishes on memory its thread alone
    // still holds, freed when it ends. Where no thread can be had, Start runs it at once.
    // `watcher`, where given, hears TransformRunning and TransformEnded from the thread.
    TransformThread(std::shared_ptr<RealTransform> transform, Direction direction,
                    WorkWatcher *watcher = nullptr);
    TransformThread(const TransformThread &) = delete;
    TransformThread &operator=(const TransformThread &) = delete;
    ~TransformThread();

    void Start();
    // Waits for the end, looking at the cancel flag every millisecond; false when cancelled.
    // Rethrows what the transform threw (std::bad_alloc where FFTW's memory ran out).
    bool Wait(const TaskControl *control);
    // After a Wait that returned true: the transform's buffers are kept for the next transform of
    // their size (RealTransform::Keep) as soon as the thread is done with them, which may be
    // later than this returns (it makes the inverse plan after the forward transform).
    void KeepWhenDone();

private:
    struct Shared;
    std::shared_ptr<RealTransform> transform_;
    std::shared_ptr<Shared> shared_;
    std::function<void()> inline_;
};
