// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main of a benchmark of the windows: the benchmarks run inside a QApplication, with the
// program's own heap settings, and `release` drops what they kept before the application goes.
#pragma once

#include "core/platform/memory_pages.h"

#include <QApplication>

#include <benchmark/benchmark.h>

template<typename Release> int RunWindowBenchmarks(int argc, char **argv, const Release &release)
{
    KeepFreedMemoryForReuse();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    release();
    benchmark::Shutdown();
    return 0;
}
