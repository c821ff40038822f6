// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/fft/transform_thread.h"

#include "core/state/task_control.h"
#include "core/state/work_stage.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

struct TransformThread::Shared
{
    std::mutex mutex;
    std::condition_variable changed;
    bool go = false;
    bool abandoned = false;
    bool ended = false;
    bool done = false; // the thread touches the transform no more
    bool keep = false; // the transform goes to the kept buffers once done
    std::exception_ptr failure;
};

TransformThread::TransformThread(std::shared_ptr<RealTransform> transform, Direction direction,
                                 WorkWatcher *watcher)
    : transform_(transform), shared_(std::make_shared<Shared>())
{
    // The thread holds the transform and the shared state by value: nothing of the caller's.
    const auto run = [transform, direction, watcher, shared = shared_] {
        std::exception_ptr failure;
        if (direction == Direction::Forward) {
            try {
                transform->PrepareForward();
            } catch (...) {
                failure = std::current_exception();
            }
        }
        {
            std::unique_lock<std::mutex> lock(shared->mutex);
            shared->changed.wait(lock, [&] { return shared->go || shared->abandoned; });
            if (shared->abandoned) {
                shared->done = true;
                return;
            }
        }
        if (!failure) {
            if (watcher)
                watcher->Reached(WorkStage::TransformRunning);
            try {
                if (direction == Direction::Forward)
                    transform->Forward();
                else
                    transform->Inverse();
            } catch (...) {
                failure = std::current_exception();
            }
            if (watcher)
                watcher->Reached(WorkStage::TransformEnded);
        }
        {
            const std::lock_guard<std::mutex> lock(shared->mutex);
            shared->failure = failure;
            shared->ended = true;
            shared->changed.notify_all();
        }
        // The waiter has the bins: the inverse plan of the size is made meanwhile, for the sum
        // of the harmonics that may be drawn next.
        if (direction == Direction::Forward && !failure) {
            try {
                transform->PrepareInverse();
            } catch (...) { // no memory for a plan: the sum will make it when drawn, or say why
            }
        }
        // Its last act on the transform: done with it, and handed on where that was asked.
        bool keep;
        {
            const std::lock_guard<std::mutex> lock(shared->mutex);
            shared->done = true;
            keep = shared->keep;
        }
        if (keep)
            RealTransform::Keep(transform);
    };
    try {
        std::thread(run).detach();
    } catch (const std::system_error &) {
        inline_ = run; // no thread to be had: the transform runs on Start, uncancellable
    }
}

TransformThread::~TransformThread()
{
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->abandoned = !shared_->go;
    shared_->changed.notify_all();
}

void TransformThread::Start()
{
    {
        const std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->go = true;
        shared_->changed.notify_all();
    }
    if (inline_)
        inline_();
}

bool TransformThread::Wait(const TaskControl *control)
{
    std::unique_lock<std::mutex> lock(shared_->mutex);
    while (!shared_->ended) {
        if (control && control->Cancelled())
            return false;
        shared_->changed.wait_for(lock, std::chrono::milliseconds(1));
    }
    if (shared_->failure)
        std::rethrow_exception(shared_->failure);
    return true;
}

void TransformThread::KeepWhenDone()
{
    {
        const std::lock_guard<std::mutex> lock(shared_->mutex);
        if (!shared_->done) { // the thread hands it on itself
            shared_->keep = true;
            return;
        }
    }
    RealTransform::Keep(transform_);
}
