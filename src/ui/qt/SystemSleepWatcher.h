#pragma once

#include <functional>
#include <memory>

namespace q208 {

// The login manager's PrepareForSleep signal on the system bus: true before the system
// sleeps, false after it woke. Without a system bus (containers, some sessions) Start
// reports false and nothing is ever delivered.
class SystemSleepWatcher {
public:
    using Callback = std::function<void(bool goingToSleep)>;

    SystemSleepWatcher();
    ~SystemSleepWatcher();
    SystemSleepWatcher(const SystemSleepWatcher&) = delete;
    SystemSleepWatcher& operator=(const SystemSleepWatcher&) = delete;

    // Called on the thread that runs the Qt event loop.
    bool Start(Callback callback);
    void Stop();

private:
    class Receiver;
    std::unique_ptr<Receiver> receiver_;
};

}  // namespace q208
