#include "device/HidrawWriter.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <span>
#include <vector>

#include "device/HidBus.h"
#include "platform/TickCount.h"

namespace q208 {

struct HidrawWriter::State {
    explicit State(std::shared_ptr<const UniqueFd> node) : fd(std::move(node)) {}

    enum class Job { Idle, Queued, Writing };

    const std::shared_ptr<const UniqueFd> fd;
    Event done{Event::ResetMode::Auto};      // set when a write finished
    Event cancel{Event::ResetMode::Manual};  // ends a wait for the node to take a report

    std::mutex mutex;  // guards everything below
    std::condition_variable work;
    bool stop = false;
    Job job = Job::Idle;
    std::vector<uint8_t> report;
    uint64_t deadline = 0;
    bool forever = false;
    uint64_t queued = 0;    // serial of the last write handed over
    uint64_t finished = 0;  // serial of the last write that returned
    int result = kHidIoFailed;
};

HidrawWriter::HidrawWriter(std::shared_ptr<const UniqueFd> fd) : state_(std::make_shared<State>(std::move(fd))) {}

HidrawWriter::~HidrawWriter() {
    bool writing = false;
    {
        std::lock_guard lock(state_->mutex);
        state_->stop = true;
        writing = state_->job == State::Job::Writing;
    }
    state_->cancel.Set();
    state_->work.notify_one();
    if (!thread_.joinable()) return;
    // The thread holds the state and the node; it ends right after the kernel returns.
    if (writing) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

void HidrawWriter::Run(const std::shared_ptr<State>& state) {
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->work.wait(lock, [&] { return state->stop || state->job == State::Job::Queued; });
        if (state->stop || state->job != State::Job::Queued) return;
        state->job = State::Job::Writing;
        state->cancel.Reset();
        const std::vector<uint8_t> report = std::move(state->report);
        const uint64_t serial = state->queued, deadline = state->deadline;
        const bool forever = state->forever;
        lock.unlock();
        const int result = WriteNow(*state, report, deadline, forever);
        lock.lock();
        state->result = result;
        state->finished = serial;
        state->job = State::Job::Idle;
        state->done.Set();
    }
}

int HidrawWriter::WriteNow(State& state, const std::vector<uint8_t>& report, uint64_t deadline, bool forever) {
    const int fd = state.fd->Get();
    for (;;) {
        // hidraw takes the report id first, and a 0 there for a device without ids, which
        // is the layout callers hand in already.
        const ssize_t n = ::write(fd, report.data(), report.size());
        if (n > 0) return static_cast<int>(n);
        if (n == 0) return kHidIoFailed;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return kHidIoFailed;  // EIO / ENODEV after unplug
        // Not taken yet: wait until the node has room, within the caller's time-out.
        int wait = -1;
        if (!forever) {
            const uint64_t now = TickCount64();
            if (now >= deadline) return kHidIoTimeout;
            wait = static_cast<int>(deadline - now);
        }
        pollfd fds[2] = {{fd, POLLOUT, 0}, {state.cancel.Fd(), POLLIN, 0}};
        const int ready = poll(fds, 2, wait);
        if (ready < 0 && errno != EINTR) return kHidIoFailed;
        if (fds[1].revents & POLLIN) return kHidIoTimeout;
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) && !(fds[0].revents & POLLOUT)) return kHidIoFailed;
    }
}

HidrawWriter::Wait HidrawWriter::WaitForDone(uint64_t deadline, bool forever, const Event* abort) const {
    int wait = -1;
    if (!forever) {
        const uint64_t now = TickCount64();
        wait = now >= deadline ? 0 : static_cast<int>(deadline - now);
    }
    const Event* events[2] = {&state_->done, abort};
    switch (Event::WaitAny(std::span<const Event* const>(events, abort ? 2 : 1), wait)) {
        case 0: return Wait::Done;
        case 1: return Wait::Aborted;
        default: return Wait::TimedOut;
    }
}

int HidrawWriter::Write(const uint8_t* buf, size_t len, int timeoutMs, const Event* abort) {
    if (buf == nullptr || len == 0 || !state_->fd->Valid()) return kHidIoFailed;
    const bool forever = timeoutMs < 0;
    const uint64_t deadline = TickCount64() + static_cast<uint64_t>(std::max(timeoutMs, 0));
    if (!thread_.joinable()) thread_ = std::thread([state = state_] { Run(state); });

    std::unique_lock lock(state_->mutex);
    // A write an earlier caller gave up on may still be in the kernel.
    while (state_->job != State::Job::Idle) {
        lock.unlock();
        const Wait wait = WaitForDone(deadline, forever, abort);
        lock.lock();
        if (state_->job == State::Job::Idle) break;
        if (wait == Wait::Aborted) return kHidIoAborted;
        if (wait == Wait::TimedOut) return kHidIoTimeout;
    }
    state_->report.assign(buf, buf + len);
    state_->deadline = deadline;
    state_->forever = forever;
    const uint64_t serial = ++state_->queued;
    state_->job = State::Job::Queued;
    state_->work.notify_one();

    for (;;) {
        if (state_->finished == serial) return state_->result;
        lock.unlock();
        const Wait wait = WaitForDone(deadline, forever, abort);
        lock.lock();
        if (state_->finished == serial) return state_->result;
        if (wait == Wait::Done) continue;  // the signal of an earlier write
        if (state_->job == State::Job::Queued) {
            state_->job = State::Job::Idle;  // never reached the kernel: nothing is sent
        } else {
            state_->cancel.Set();  // ends a wait for room; a write inside the kernel runs on
        }
        return wait == Wait::Aborted ? kHidIoAborted : kHidIoTimeout;
    }
}

}  // namespace q208
