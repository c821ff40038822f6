// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/memory_pages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace {

// Gives the system `advice` (madvise) on the whole pages within [begin, begin + bytes).
void AdviseWholePages(void *begin, std::size_t bytes, int advice)
{
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) / page * page;
    const auto last = (reinterpret_cast<std::uintptr_t>(begin) + bytes) / page * page;
    if (last > first)
        madvise(reinterpret_cast<void *>(first), last - first, advice);
}

} // namespace

void MapForWriting([[maybe_unused]] double *begin, [[maybe_unused]] double *end)
{
    // Linux 5.14 on.
#ifdef MADV_POPULATE_WRITE
    AdviseWholePages(begin, static_cast<std::size_t>(end - begin) * sizeof(double),
                     MADV_POPULATE_WRITE);
#endif
}

void AdviseLargePages(void *begin, std::size_t bytes)
{
    AdviseWholePages(begin, bytes, MADV_HUGEPAGE);
}

void KeepFreedMemoryForReuse()
{
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_ARENA_MAX, 1);
}
