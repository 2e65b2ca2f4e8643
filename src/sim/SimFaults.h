#pragma once

#include <atomic>

namespace q208::sim {

// How many of the coming requests a fault hits: 0 none, n the next n, kAlways every one
// until it is set back to 0. Safe to set from any thread while requests run.
class FaultCounter {
public:
    static constexpr int kAlways = -1;

    FaultCounter() = default;
    FaultCounter(const FaultCounter&) = delete;
    FaultCounter& operator=(const FaultCounter&) = delete;

    FaultCounter& operator=(int count) {
        remaining_.store(count);
        return *this;
    }
    int Remaining() const { return remaining_.load(); }

    // True when this request is hit; uses up one count unless the fault is persistent.
    bool Take();

private:
    std::atomic<int> remaining_{0};
};

// Faults one emulated device (or the receiver) injects into its answers.
struct SimFaults {
    // An answer echoing another command comes before the real one (staleAnswers of them).
    FaultCounter staleAnswer;
    std::atomic<int> staleAnswers{1};
    // The request is swallowed: no answer at all.
    FaultCounter noAnswer;
    // The request is refused with status 0xFF / 0xFE and not carried out.
    FaultCounter statusRefused;
    FaultCounter statusBadChecksum;
    // The device answers as a receiver does for a device out of reach: an echo with 0xFF in
    // byte 3 (0xAA for the lighting stream), and the request is not carried out.
    FaultCounter unreachableAnswer;
    // Every answer of the request comes slowAnswerMs late.
    FaultCounter slowAnswer;
    std::atomic<int> slowAnswerMs{1500};
    // The device goes away while the request is on its way: no answer, and the bus glue is
    // asked to unplug the device (SimFirmware::SetUnplugHandler / UnplugRequested).
    FaultCounter unplugDuringTransfer;
    // Receiver only: the devices behind it are out of reach for the request (QueryLink
    // reports both unlinked, commands get the unreachable answer).
    FaultCounter linkLoss;

    void Clear();
};

}  // namespace q208::sim
