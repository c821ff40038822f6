// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How many threads the program's long work runs on.
#pragma once

// The threads an analysis, its transforms and their passes over memory run on: one per core the
// system reports, at least 1 (where it reports none) and at most 8. Past 8, FFTW's threaded plans
// and the passes over memory shared out with them gain little, being bound by the memory's
// bandwidth, which a few cores fill; the direct sums would gain further, but one count for both
// paths keeps the cost model that chooses between them comparing like with like, and leaves the
// rest of a large machine to the desktop. On a machine of up to 8 cores: every core.
unsigned WorkThreads();
