// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The sum of the harmonics made ready for whoever reads it: the layer that draws it and the
// exports.
#pragma once

struct AnalysisState;
class MessageBox;
class QWidget;
class TaskGate;

// Makes sure the analysis state holds the sum of its harmonics (HarmonicSum), computing it away
// from the windows' thread, with the progress shown when it lasts. False when the user cancelled
// or memory ran out (which `messages` then says). Whoever calls it holds a pass of `tasks`.
bool ProvideHarmonicSum(const TaskGate &tasks, QWidget *parent, AnalysisState &state,
                        MessageBox &messages);
