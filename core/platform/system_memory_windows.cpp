// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Free memory on Windows: the physical memory the system reports available.
#include "core/platform/system_memory.h"

#include <windows.h>

std::uint64_t platform_internal::SystemAvailableMemoryBytes()
{
    MEMORYSTATUSEX status {};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? status.ullAvailPhys : 0;
}
