// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Advice to the system on the pages of large arrays: only savings, never needed for correctness.
#pragma once

#include <cstddef>

// Maps the pages of [begin, end) for writing in one call, where the system can: thousands of page
// faults are then one system call. Elsewhere each page is mapped at its first write as before, and
// the pages hold zeros either way.
void MapForWriting(double *begin, double *end);

// Asks for large pages for the whole pages within [begin, begin + bytes), where the system has
// them: fewer misses of the address cache on a buffer read many times over.
void AdviseLargePages(void *begin, std::size_t bytes);

// Keeps the large blocks one analysis frees for the next, where the C library lets the program
// say so: blocks up to 64 MiB come from its own pool rather than from fresh pages, which the
// system must zero at their first write; up to 256 MiB freed stay in the pool; and one pool
// serves every thread, so that a worker's analysis takes what the last worker left. A step of a
// large analysis then writes into memory already mapped. Called once, at the program's start.
void KeepFreedMemoryForReuse();
