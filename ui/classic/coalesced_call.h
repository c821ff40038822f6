// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A call made once the event loop turns, and once only however often it is asked for before then:
// requests join the one waiting.
#pragma once

#include <QMetaObject>
#include <QObject>

#include <functional>
#include <utility>

class CoalescedCall
{
public:
    // The call runs on `context`'s thread; `context` owns this, or outlives it.
    CoalescedCall(QObject &context, std::function<void()> call)
        : context_(context), call_(std::move(call))
    { }
    CoalescedCall(const CoalescedCall &) = delete;
    CoalescedCall &operator=(const CoalescedCall &) = delete;

    // Queues the call, unless one waits already.
    void Request()
    {
        if (queued_)
            return;
        queued_ = true;
        QMetaObject::invokeMethod(
            &context_, [this] { RunNow(); }, Qt::QueuedConnection);
    }
    // The call waiting is not made: its work was done another way meanwhile.
    void Drop() { queued_ = false; }
    // Makes the call waiting now, if one waits.
    void RunNow()
    {
        if (!std::exchange(queued_, false))
            return;
        call_();
    }
    bool Queued() const { return queued_; }

private:
    QObject &context_;
    std::function<void()> call_;
    bool queued_ = false;
};
