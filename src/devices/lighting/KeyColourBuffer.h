#pragma once

#include <cstddef>
#include <mutex>
#include <span>
#include <vector>

#include "devices/lighting/KeyColour.h"

namespace q208 {

// The per-key colours, shared between the thread that renders them and the threads that
// read them (frame sender, page). Every access holds a short lock, so a reader never sees
// half of a render step.
class KeyColourBuffer {
public:
    explicit KeyColourBuffer(size_t keyCount);

    size_t Size() const { return size_; }

    // Runs fn(std::span<KeyColour>) under the lock: the way renderers write.
    template <typename Fn>
    void Update(Fn&& fn) {
        std::lock_guard lock(mutex_);
        fn(std::span<KeyColour>(entries_));
    }
    // Runs fn(std::span<const KeyColour>) under the lock: frame builders read in place.
    template <typename Fn>
    auto Read(Fn&& fn) const {
        std::lock_guard lock(mutex_);
        return fn(std::span<const KeyColour>(entries_));
    }

    std::vector<KeyColour> Snapshot() const;
    // Copies into out (as many entries as both hold) without allocating.
    void CopyTo(std::span<KeyColour> out) const;

    // False for an index outside the buffer (nothing stored).
    bool Set(size_t index, KeyColour colour);
    // The entry, or all 0 for an index outside the buffer.
    KeyColour Get(size_t index) const;

private:
    const size_t size_;
    mutable std::mutex mutex_;
    std::vector<KeyColour> entries_;
};

}  // namespace q208
