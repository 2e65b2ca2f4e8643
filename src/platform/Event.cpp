#include "platform/Event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/TickCount.h"

namespace q208 {

Event::Event(ResetMode mode, bool initiallySet) : mode_(mode) {
    fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd_ < 0) throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
    if (initiallySet) Set();
}

Event::~Event() {
    if (fd_ >= 0) close(fd_);
}

void Event::Set() {
    const uint64_t one = 1;
    // The counter only saturates after 2^64 - 2 sets; a failed write means it is set already.
    [[maybe_unused]] ssize_t n = write(fd_, &one, sizeof one);
}

void Event::Reset() {
    uint64_t value = 0;
    [[maybe_unused]] ssize_t n = read(fd_, &value, sizeof value);
}

bool Event::IsSet() const {
    pollfd p{fd_, POLLIN, 0};
    return poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

bool Event::TryConsume() const {
    if (mode_ == ResetMode::Manual) return true;
    uint64_t value = 0;
    return read(fd_, &value, sizeof value) == static_cast<ssize_t>(sizeof value);
}

bool Event::Wait(int timeoutMs) const {
    const Event* self = this;
    return WaitAny(std::span<const Event* const>(&self, 1), timeoutMs) == 0;
}

int Event::WaitAny(std::initializer_list<const Event*> events, int timeoutMs) {
    return WaitAny(std::span<const Event* const>(events.begin(), events.size()), timeoutMs);
}

int Event::WaitAny(std::span<const Event* const> events, int timeoutMs) {
    std::vector<pollfd> fds(events.size());
    const uint64_t deadline = timeoutMs < 0 ? 0 : TickCount64() + static_cast<uint64_t>(timeoutMs);
    for (;;) {
        for (size_t i = 0; i < events.size(); ++i) fds[i] = pollfd{events[i]->Fd(), POLLIN, 0};
        int wait = -1;
        if (timeoutMs >= 0) {
            const uint64_t now = TickCount64();
            wait = now >= deadline ? 0 : static_cast<int>(deadline - now);
        }
        const int ready = poll(fds.data(), fds.size(), wait);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        for (size_t i = 0; i < events.size(); ++i) {
            // An auto-reset signal taken by a competing waiter is not ours: keep waiting.
            if ((fds[i].revents & POLLIN) && events[i]->TryConsume()) return static_cast<int>(i);
        }
        if (ready == 0 && wait == 0) return -1;
    }
}

}  // namespace q208
