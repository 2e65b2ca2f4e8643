#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
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

    // Runs fn(std::span<KeyColour>) under the lock: the way renderers write. The
    // generation moves on only when a colour really changed.
    template <typename Fn>
    void Update(Fn&& fn) {
        bool changed = false;
        {
            std::lock_guard lock(mutex_);
            previous_ = entries_;
            fn(std::span<KeyColour>(entries_));
            changed = previous_ != entries_;
            if (changed) generation_.fetch_add(1, std::memory_order_release);
        }
        if (changed) TellChanged();
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

    // Counts the changes of the colours: a reader that saw this generation has nothing new
    // to show while it stays the same.
    uint64_t Generation() const { return generation_.load(std::memory_order_acquire); }

    // Called, outside the lock and on the writing thread, each time the generation moves on,
    // so whoever shows the colours can wait for a change instead of polling for one. Set it
    // before any thread writes.
    void SetChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

private:
    void TellChanged() const {
        if (listener_) listener_();
    }

    const size_t size_;
    mutable std::mutex mutex_;
    std::vector<KeyColour> entries_;
    std::vector<KeyColour> previous_;  // the colours before the running Update
    std::atomic<uint64_t> generation_{0};
    std::function<void()> listener_;
};

}  // namespace q208
