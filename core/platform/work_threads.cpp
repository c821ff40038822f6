// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/work_threads.h"

#include <algorithm>
#include <thread>

unsigned WorkThreads()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}
