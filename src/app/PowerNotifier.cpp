#include "app/PowerNotifier.h"

#include <utility>

#include "platform/Trace.h"
#include "ui/qt/SystemSleepWatcher.h"

namespace q208 {

namespace {

// The login manager's sleep signal. Without a system bus nothing arrives and the power
// state stays running, as on a machine that never sleeps.
class LoginManagerSource : public PowerNotifier::Source {
public:
    bool Start(std::function<void(PowerEvent)> deliver) override {
        const bool watching = watcher_.Start([deliver = std::move(deliver)](bool goingToSleep) {
            deliver(goingToSleep ? PowerEvent::Suspend : PowerEvent::Resume);
        });
        if (!watching) Trace("power: no system bus; suspend and resume notices are not followed");
        return true;
    }
    void Stop() override { watcher_.Stop(); }

private:
    SystemSleepWatcher watcher_;
};

}  // namespace

std::unique_ptr<PowerNotifier::Source> PowerNotifier::SystemSource() { return std::make_unique<LoginManagerSource>(); }

PowerNotifier::PowerNotifier(std::unique_ptr<Source> source) : source_(std::move(source)) {}

PowerNotifier::~PowerNotifier() { Stop(); }

bool PowerNotifier::Start(Listener listener) {
    {
        std::lock_guard lock(mutex_);
        listener_ = std::move(listener);
    }
    if (!source_) return false;
    started_ = source_->Start([this](PowerEvent event) { Deliver(event); });
    if (!started_) Trace("power notices unavailable");
    return started_;
}

void PowerNotifier::Stop() {
    if (source_ && started_) source_->Stop();
    started_ = false;
    std::lock_guard lock(mutex_);
    listener_ = nullptr;
}

void PowerNotifier::Deliver(PowerEvent event) {
    running_.store(event == PowerEvent::Resume);
    Listener listener;
    {
        std::lock_guard lock(mutex_);
        listener = listener_;
    }
    if (listener) listener(event);
}

}  // namespace q208
