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

void WorkerThread::RequestStop() {
    if (state_) state_->stop.Set();
}

WorkerThread::StopResult WorkerThread::Stop(int timeoutMs, AfterTimeOut after) {
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
    if (after == AfterTimeOut::Join) {
        Trace("worker '%s' did not stop within %d ms; waiting for it\n", name_.c_str(), timeoutMs);
        thread_.join();
        return StopResult::TimedOut;
    }
    Trace("worker '%s' did not stop within %d ms; detached\n", name_.c_str(), timeoutMs);
    thread_.detach();
    return StopResult::TimedOut;
}

bool WorkerThread::IsRunning() const { return thread_.joinable() && state_ && !state_->done.IsSet(); }

const Event* WorkerThread::StopEvent() const { return state_ ? &state_->stop : nullptr; }

}  // namespace q208
