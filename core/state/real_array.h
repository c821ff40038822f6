// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis arrays: vectors of doubles whose new elements come zeroed from the system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

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
