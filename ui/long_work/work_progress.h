// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Long work away from the windows' thread: the windows keep repainting but take no input, and
// work that lasts shows a modal dialog with its progress and a cancel button.
#pragma once

#include "task_gate.h"

#include "core/state/task_control.h"

#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

// How long work may run before the progress dialog appears.
constexpr int ProgressDialogDelayMs = 300;

// The progress dialog's text: "Attendere!" and `progress` with %1 the count done and %2 the total.
QString ProgressLabel(const QString &progress, std::int64_t done, std::int64_t total);

// Runs work(control) on a worker thread, for a caller that holds a pass of `tasks`, the
// program's gate of long tasks; total is what control.Done() counts up to, and `progress` says what
// is going on and how far, with %1 for the count done and %2 for the total. Returns false when the
// user cancelled, even if the work had finished meanwhile, or when the program is closing. What the
// work throws is thrown again here, once the worker has ended.
bool RunWithProgress(const TaskGate &tasks, QWidget *parent, const QString &progress,
                     std::int64_t total, const std::function<void(TaskControl &)> &work);
