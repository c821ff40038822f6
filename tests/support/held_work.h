// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Long work held at its first count until the test lets it go: the progress dialog then shows
// that count, and the work cannot end before the test has acted, however fast or busy the
// machine is.
#pragma once

#include "core/state/work_stage.h"
#include "ui/long_work/task_gate.h"
#include "ui/long_work/work_progress.h"

#include <QApplication>
#include <QProgressDialog>
#include <QTimer>
#include <QTimerEvent>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <new>

// Whether the progress dialog of work let go shows depends on how fast the machine is: in the
// tests it never shows, and held work shows it at once.
constexpr int NoDialogMs = 600000;

class HeldWork : public WorkPace
{
public:
    // Back to a free pace, before each test.
    void Reset()
    {
        LetGo();
        ReleaseTransforms();
        starts_ = 0;
        total_ = 0;
        mostCounted_ = 0;
        dialogDelayMs = NoDialogMs;
        runOutOfMemory = false;
    }

    // Long work started from now on waits at its first count until Release(). A second long
    // work starting meanwhile lets both go, so that a test of the gate fails instead of hanging.
    void Hold()
    {
        starts_ = 0;
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    void Release()
    {
        {
            const std::lock_guard lock(mutex_);
            held_ = false;
        }
        released_.notify_all();
    }

    // Work goes free again, and a dialog no test acted on yet is left alone.
    void LetGo()
    {
        look_.reset();
        Release();
    }

    // From the windows' thread: returns once the work started last has ended on its worker,
    // before the windows' thread has heard of it.
    void WaitUntilEnded()
    {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return ended_; });
    }

    // Has the dialog look at the work now, as its own timer does every so often: it takes in
    // the work's end, or shows the count done.
    static void LookAtWork(QProgressDialog &dialog)
    {
        auto *poll = dialog.findChild<QTimer *>("WorkPoll");
        QTimerEvent tick(poll->timerId());
        QCoreApplication::sendEvent(poll, &tick);
    }

    // Holds the next long work; once its progress dialog shows what the work counted, runs
    // act(dialog) on the windows' thread and then lets the work go.
    void ActWhenShown(std::function<void(QProgressDialog &)> act)
    {
        Hold();
        look_ = std::make_unique<QTimer>();
        QObject::connect(look_.get(), &QTimer::timeout, [this, act = std::move(act)] {
            auto *dialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog->value() < 1)
                return;
            look_->stop();
            act(*dialog);
            Release();
        });
        look_->start(5);
    }

    // Transforms that start from now on wait at their start, on their own threads, until
    // ReleaseTransforms(): an analysis cancelled meanwhile leaves its transform's thread alive.
    void HoldTransforms()
    {
        const std::lock_guard lock(mutex_);
        holdNewTransforms_ = true;
        transformsLetGo_ = false;
    }
    // Transforms that start from now on run; those held stay held.
    void HoldNoNewTransform()
    {
        const std::lock_guard lock(mutex_);
        holdNewTransforms_ = false;
    }
    // Returns once `count` transforms are held at their start.
    void WaitForHeldTransforms(int count)
    {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [&] { return transformsHeld_ >= count; });
    }
    int HeldTransforms() const
    {
        const std::lock_guard lock(mutex_);
        return transformsHeld_;
    }
    // Lets the held transforms go, and returns once every transform started has ended.
    void ReleaseTransforms()
    {
        std::unique_lock lock(mutex_);
        holdNewTransforms_ = false;
        transformsLetGo_ = true;
        released_.notify_all();
        released_.wait(lock, [this] { return transformsRunning_ == 0; });
    }

    // How many long works started since the last hold, what the last one counted up to and the
    // most it counted.
    int Starts() const { return starts_; }
    std::int64_t Total() const { return total_; }
    std::int64_t MostCounted() const { return mostCounted_; }

    // How long work that is not held runs before its dialog shows.
    int dialogDelayMs = NoDialogMs;
    // Work that counts throws std::bad_alloc there, as an allocation failing would; only for
    // work that counts on the worker RunWithProgress started (the CSV table), not on threads
    // of its own.
    std::atomic<bool> runOutOfMemory {false};

    void Starting(std::int64_t total) override
    {
        {
            const std::lock_guard lock(mutex_);
            ended_ = false;
        }
        total_ = total;
        if (++starts_ > 1)
            Release();
    }
    void Counted(std::int64_t done) override
    {
        std::int64_t most = mostCounted_;
        while (done > most && !mostCounted_.compare_exchange_weak(most, done)) { }
        if (runOutOfMemory)
            throw std::bad_alloc();
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return !held_; });
    }
    // On a transform's own thread, which a cancelled analysis may have left behind.
    void Reached(WorkStage stage) override
    {
        std::unique_lock lock(mutex_);
        if (stage == WorkStage::TransformRunning) {
            ++transformsRunning_;
            if (holdNewTransforms_) {
                ++transformsHeld_;
                released_.notify_all();
                released_.wait(lock, [this] { return transformsLetGo_; });
                --transformsHeld_;
            }
        } else if (stage == WorkStage::TransformEnded) {
            --transformsRunning_;
            released_.notify_all();
        }
    }
    void Ended() override
    {
        {
            const std::lock_guard lock(mutex_);
            ended_ = true;
        }
        released_.notify_all();
    }
    int DialogDelayMs() const override
    {
        const std::lock_guard lock(mutex_);
        return held_ ? 0 : dialogDelayMs;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable released_; // or ended, or a transform held or ended
    bool held_ = false;
    bool holdNewTransforms_ = false;
    bool transformsLetGo_ = true;
    int transformsHeld_ = 0;
    int transformsRunning_ = 0;
    bool ended_ = false;
    int starts_ = 0;
    std::int64_t total_ = 0;
    std::atomic<std::int64_t> mostCounted_ {0};
    std::unique_ptr<QTimer> look_;
};
