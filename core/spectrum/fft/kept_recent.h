// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The one shape of cache the transforms keep their plans and filters in: the few most recently
// used, found by key, made outside the lock when missing. Internal to the room.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

namespace fft_internal {

template<typename Key, typename Value> class KeptRecent
{
public:
    using Kept = std::shared_ptr<Value>;

    // At most `most` kept; where `large` says a value is large, one large value alone.
    explicit KeptRecent(std::size_t most, bool (*large)(const Value &) = nullptr)
        : most_(most), large_(large)
    { }

    // The value kept for `key`, now the most recent; else `make()`'s, kept first. A value
    // dropped is destroyed outside the lock, or later by its last user.
    template<typename Make> Kept Get(const Key &key, const Make &make)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            for (auto entry = entries_.begin(); entry != entries_.end(); ++entry)
                if (entry->key == key) {
                    std::rotate(entries_.begin(), entry, entry + 1);
                    return entries_.front().value;
                }
        }
        Kept value = make();
        std::vector<Entry> dropped;
        const std::lock_guard<std::mutex> lock(mutex_);
        if (large_ && large_(*value))
            for (auto entry = entries_.begin(); entry != entries_.end();) {
                if (large_(*entry->value)) {
                    dropped.push_back(std::move(*entry));
                    entry = entries_.erase(entry);
                } else {
                    ++entry;
                }
            }
        entries_.insert(entries_.begin(), {key, value});
        if (entries_.size() > most_) {
            dropped.push_back(std::move(entries_.back()));
            entries_.pop_back();
        }
        return value;
    }

    void Clear()
    {
        std::vector<Entry> dropped;
        const std::lock_guard<std::mutex> lock(mutex_);
        dropped.swap(entries_);
    }

private:
    struct Entry
    {
        Key key;
        Kept value;
    };
    const std::size_t most_;
    bool (*const large_)(const Value &);
    std::mutex mutex_;
    std::vector<Entry> entries_;
};

} // namespace fft_internal
