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

// Large blocks in the system's large pages where it gives them on request: a few page faults
// where there would be thousands (a million doubles take 2,000 small pages, each zeroed by the
// system on its first write, which costs more than the writing). Only advice; nothing changes
// where it is not taken.
inline void AskForLargePages(void *block, std::size_t bytes)
{
    constexpr std::size_t Large = 2 << 20;
    if (bytes < 2 * Large)
        return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(block) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + bytes) / page * page;
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
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
        if (void *memory = std::calloc(count, sizeof(T))) {
            AskForLargePages(memory, count * sizeof(T));
            return static_cast<T *>(memory);
        }
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
