// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The sum of the harmonics made ready for whoever reads it: the layer that draws it and the
// exports.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

struct AnalysisState;
class MessageBox;
class QWidget;
class TaskControl;
class TaskGate;

// Makes sure the analysis state holds the sum of its harmonics (HarmonicSum), computing it away
// from the windows' thread, with the progress shown when it lasts. False when the user cancelled
// or memory ran out (which `messages` then says). Whoever calls it holds a pass of `tasks`.
bool ProvideHarmonicSum(const TaskGate &tasks, QWidget *parent, AnalysisState &state,
                        MessageBox &messages);

// Runs `work` away from the windows' thread as the sum of an analysis of `n` samples is made, and
// with its memory: refused first, by the message that says so, where memory is short; its
// progress shown under `progress` when it lasts; memory running out on the way said by
// `messages`. False unless it completed. Whoever calls it holds a pass of `tasks`.
bool RunSumSizedWork(const TaskGate &tasks, QWidget *parent, MessageBox &messages, std::int64_t n,
                     const QString &progress, const std::function<void(TaskControl &)> &work);
