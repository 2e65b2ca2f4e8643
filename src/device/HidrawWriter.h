#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "device/UniqueFd.h"
#include "platform/Event.h"

namespace q208 {

// Writes output reports to a hidraw node from a thread of its own, so that the caller
// waits no longer than its time-out.
//
// A hidraw write is synchronous whatever the descriptor's flags: the kernel returns only
// once the device has taken the report (interrupt OUT transfer or SET_REPORT request),
// which a device that stalls holds up to the USB time-out of 5 s; and poll() reports a
// hidraw node writable at all times. Neither O_NONBLOCK nor waiting for POLLOUT bounds
// it, and there is no way to cancel it. So the write runs here: a caller whose time-out
// passes returns, the report may still reach the device, and the next write waits for the
// one in the kernel within its own time-out. A write that has not reached the kernel yet
// is taken back.
class HidrawWriter {
public:
    explicit HidrawWriter(std::shared_ptr<const UniqueFd> fd);
    // Joins an idle thread at once; a thread still inside the kernel's write is left to
    // finish on its own and closes the node when it is done.
    ~HidrawWriter();
    HidrawWriter(const HidrawWriter&) = delete;
    HidrawWriter& operator=(const HidrawWriter&) = delete;

    // Bytes written, or kHidIoTimeout, kHidIoFailed, kHidIoAborted (`abort` may be null).
    // One thread at a time writes. A negative time-out waits forever.
    int Write(const uint8_t* buf, size_t len, int timeoutMs, const Event* abort);

private:
    struct State;
    enum class Wait { Done, TimedOut, Aborted };

    static void Run(const std::shared_ptr<State>& state);
    // One write(2), retried while the node is not ready, until `deadline` or a cancel.
    static int WriteNow(State& state, const std::vector<uint8_t>& report, uint64_t deadline, bool forever);
    Wait WaitForDone(uint64_t deadline, bool forever, const Event* abort) const;

    std::shared_ptr<State> state_;
    std::thread thread_;  // started by the first write: read-only handles never need it
};

}  // namespace q208
