#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <vector>

namespace q208::sim {

// What one emulated device received and sent since it was plugged: the command reports per
// command code, and the last reports of both directions in the order they crossed.
// Thread-safe: the host writes from several threads while a tool reads.
class SimTraffic {
public:
    static constexpr std::size_t kRingSize = 64;

    struct Entry {
        bool sent = false;  // false: the host sent it to the device; true: the device sent it
        std::vector<uint8_t> bytes;
    };

    // A command report the device received (byte 0 the report id, byte 3 the command).
    void Received(std::span<const uint8_t> report);
    // A report the device sent: an answer or an event.
    void Sent(std::span<const uint8_t> report);
    // Forgets everything: the device was plugged (again).
    void Reset();

    std::array<uint32_t, 256> CommandCounts() const;
    std::vector<Entry> Recent() const;

private:
    void Keep(bool sent, std::span<const uint8_t> report);

    mutable std::mutex mutex_;
    std::array<uint32_t, 256> counts_{};
    std::deque<Entry> ring_;
};

}  // namespace q208::sim
