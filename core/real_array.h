// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis arrays: vectors of doubles whose new elements come zeroed from the system.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

// Gives the system `advice` (madvise) on the whole pages within [begin, begin + bytes).
inline void AdviseWholePages(void *begin, std::size_t bytes, int advice)
{
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) / page * page;
    const auto last = (reinterpret_cast<std::uintptr_t>(begin) + bytes) / page * page;
    if (last > first)
        madvise(reinterpret_cast<void *>(first), last - first, advice);
}

// Maps the pages of [begin, end) for writing in one call, where the system can (Linux 5.14 on):
// thousands of page faults are then one system call. Only a saving: elsewhere each page is mapped
// at its first write as before, and the pages hold zeros either way.
inline void MapForWriting([[maybe_unused]] double *begin, [[maybe_unused]] double *end)
{
#ifdef MADV_POPULATE_WRITE
    AdviseWholePages(begin, static_cast<std::size_t>(end - begin) * sizeof(double),
                     MADV_POPULATE_WRITE);
#endif
}

// calloc hands large blocks straight from the system's zero pages, so an array of a billion
// elements is ready at once and the pages that are never written take no memory. Elements
// created without a value are left as calloc gave them: zero. An array is only ever replaced
// whole; shrinking one and growing it again would bring back the old values.
template<typename T> struct ZeroedAllocator
{
    using value_type = T;

    ZeroedAllocator() = default;
    template<typename U> explicit ZeroedAllocator(const ZeroedAllocator<U> &) noexcept { }

    T *allocate(std::size_t count)
    {
        if (void *memory = std::calloc(count, sizeof(T)))
            return static_cast<T *>(memory);
        throw std::bad_alloc();
    }
    void deallocate(T *memory, std::size_t) noexcept { std::free(memory); }

    template<typename U> void construct(U *) noexcept { }
    template<typename U, typename... Args> void construct(U *place, Args &&...args)
    {
        ::new (static_cast<void *>(place)) U(std::forward<Args>(args)...);
    }

    friend bool operator==(const ZeroedAllocator &, const ZeroedAllocator &) { return true; }
};

using RealArray = std::vector<double, ZeroedAllocator<double>>;
