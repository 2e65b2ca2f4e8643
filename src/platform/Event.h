#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

namespace q208 {

// A kernel-style event on an eventfd. A manual-reset event stays signalled until Reset;
// an auto-reset event is consumed by the one wait that sees it. The descriptor can be
// put into poll() next to a device descriptor, so a blocked read wakes when it is set.
class Event {
public:
    enum class ResetMode { Manual, Auto };

    explicit Event(ResetMode mode = ResetMode::Manual, bool initiallySet = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;  // does not consume an auto-reset event

    // True when signalled within timeoutMs (negative = forever).
    bool Wait(int timeoutMs) const;

    // Index of the first signalled event, or -1 when timeoutMs passed (negative = forever).
    static int WaitAny(std::span<const Event* const> events, int timeoutMs);
    static int WaitAny(std::initializer_list<const Event*> events, int timeoutMs);

    int Fd() const { return fd_; }
    bool IsAutoReset() const { return mode_ == ResetMode::Auto; }

    // Consumes the signal after poll() reported the descriptor readable; for a manual-reset
    // event nothing is consumed. False when another waiter took an auto-reset signal first.
    bool TryConsume() const;

private:
    int fd_ = -1;
    ResetMode mode_;
};

}  // namespace q208
