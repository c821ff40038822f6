// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The transforms' seam for the tests and the benchmarks: what only they call, never the program.
#pragma once

namespace testing_seam {

// So that the next transform runs as the first of a new run: forgets the kept buffers, every kept
// plan and what the planner learnt (the running transforms and the objects that made a plan keep
// theirs until they end). The kept things live in the transforms' room alone, so only it can
// forget them.
void ForgetKeptPlansAndBuffers();

} // namespace testing_seam
