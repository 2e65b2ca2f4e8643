#include "devices/lighting/KeyColourBuffer.h"

#include <algorithm>

namespace q208 {

KeyColourBuffer::KeyColourBuffer(size_t keyCount) : size_(keyCount), entries_(keyCount), previous_(keyCount) {}

std::vector<KeyColour> KeyColourBuffer::Snapshot() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

void KeyColourBuffer::CopyTo(std::span<KeyColour> out) const {
    std::lock_guard lock(mutex_);
    std::copy_n(entries_.begin(), std::min(out.size(), entries_.size()), out.begin());
}

bool KeyColourBuffer::Set(size_t index, KeyColour colour) {
    if (index >= size_) return false;
    {
        std::lock_guard lock(mutex_);
        if (entries_[index] == colour) return true;
        entries_[index] = colour;
        generation_.fetch_add(1, std::memory_order_release);
    }
    TellChanged();
    return true;
}

KeyColour KeyColourBuffer::Get(size_t index) const {
    if (index >= size_) return {};
    std::lock_guard lock(mutex_);
    return entries_[index];
}

}  // namespace q208
