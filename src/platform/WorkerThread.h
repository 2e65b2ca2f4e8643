#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/Event.h"

namespace q208 {

// A worker thread with a manual-reset stop event. Stop() sets the event and waits a
// bounded time; a worker that has not returned by then is detached (the body keeps the
// shared state alive) and the time-out is reported, since a thread cannot be killed safely.
class WorkerThread {
public:
    enum class StopResult { NotRunning, Ended, TimedOut };
    // What Stop does with a worker that outlives the bounded wait: leave it running on its
    // own, or wait on for it (for a body that uses memory of its owner, once the owner has
    // made sure it wakes).
    enum class AfterTimeOut { Detach, Join };
    using Body = std::function<void(const Event& stop)>;

    WorkerThread() = default;
    explicit WorkerThread(std::string name) : name_(std::move(name)) {}
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // False when a worker is still running.
    bool Start(Body body);
    StopResult Stop(int timeoutMs = 1000, AfterTimeOut after = AfterTimeOut::Detach);
    // Sets the stop event without waiting.
    void RequestStop();
    bool IsRunning() const;
    // The stop event of the running (or last) worker; null before the first Start.
    const Event* StopEvent() const;
    const std::string& Name() const { return name_; }

private:
    struct State;
    std::string name_;
    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace q208
