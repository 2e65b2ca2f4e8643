#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <ostream>
#include <utility>
#include <vector>

#include "device/IDetectionHost.h"

namespace q208::test {

// Records what the detection thread tells its owner; tests wait on it with a bound.
class RecordingDetectionHost : public IDetectionHost {
public:
    enum class What { Arrival, Removal };
    struct Message {
        What what;
        size_t slot;
        bool operator==(const Message&) const = default;
        friend void PrintTo(const Message& m, std::ostream* os) {
            *os << (m.what == What::Arrival ? "arrival " : "removal ") << m.slot;
        }
    };
    // Runs inside SendArrival on the detection thread, before the arrival is recorded.
    std::function<void(size_t slot, const Event& stop)> onArrival;

    void SendArrival(size_t slot, const Event& stop) override {
        if (onArrival) onArrival(slot, stop);
        Record({What::Arrival, slot});
    }
    void SendRemoval(size_t slot, const Event&) override { Record({What::Removal, slot}); }
    void PostFirstPassDone() override {
        std::lock_guard lock(mutex_);
        ++firstPassPosts_;
        changed_.notify_all();
    }

    std::vector<Message> Messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    std::vector<Message> TakeMessages() {
        std::lock_guard lock(mutex_);
        return std::exchange(messages_, {});
    }
    int FirstPassPosts() const {
        std::lock_guard lock(mutex_);
        return firstPassPosts_;
    }
    // True when at least `count` messages are recorded within `timeoutMs`.
    bool WaitForMessages(size_t count, int timeoutMs = 3000) const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [&] { return messages_.size() >= count; });
    }
    bool WaitForFirstPass(int timeoutMs = 3000) const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return firstPassPosts_ > 0; });
    }

private:
    void Record(Message message) {
        std::lock_guard lock(mutex_);
        messages_.push_back(message);
        changed_.notify_all();
    }

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Message> messages_;
    int firstPassPosts_ = 0;
};

inline RecordingDetectionHost::Message Arrival(size_t slot) { return {RecordingDetectionHost::What::Arrival, slot}; }
inline RecordingDetectionHost::Message Removal(size_t slot) { return {RecordingDetectionHost::What::Removal, slot}; }

}  // namespace q208::test
