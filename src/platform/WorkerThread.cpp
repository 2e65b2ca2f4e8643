#include "platform/WorkerThread.h"

#include "platform/Trace.h"

namespace q208 {

struct WorkerThread::State {
    Event stop{Event::ResetMode::Manual};
    Event done{Event::ResetMode::Manual};
};

WorkerThread::~WorkerThread() { Stop(); }

bool WorkerThread::Start(Body body) {
    if (IsRunning()) return false;
    if (thread_.joinable()) thread_.join();
    state_ = std::make_shared<State>();
    thread_ = std::thread([state = state_, body = std::move(body)] {
        body(state->stop);
        state->done.Set();
    });
    return true;
}

WorkerThread::StopResult WorkerThread::Stop(int timeoutMs) {
    if (!thread_.joinable()) return StopResult::NotRunning;
    state_->stop.Set();
    if (thread_.get_id() == std::this_thread::get_id()) {
        // A worker stopping itself cannot wait for itself.
        thread_.detach();
        return StopResult::Ended;
    }
    if (state_->done.Wait(timeoutMs)) {
        thread_.join();
        return StopResult::Ended;
    }
    Trace("worker '%s' did not stop within %d ms; detached", name_.c_str(), timeoutMs);
    thread_.detach();
    return StopResult::TimedOut;
}

bool WorkerThread::IsRunning() const { return thread_.joinable() && state_ && !state_->done.IsSet(); }

const Event* WorkerThread::StopEvent() const { return state_ ? &state_->stop : nullptr; }

}  // namespace q208
