// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/system_memory.h"

#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

std::uint64_t platform_internal::SystemAvailableMemoryBytes()
{
    std::ifstream meminfo("/proc/meminfo");
    for (std::string line; std::getline(meminfo, line);) {
        std::istringstream fields(line);
        std::string key;
        std::uint64_t kilobytes = 0;
        if (fields >> key >> kilobytes && key == "MemAvailable:")
            return kilobytes * 1024;
    }
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * pageSize : 0;
}
