#include "app/PowerNotifier.h"

#include <utility>

#include "platform/Trace.h"

namespace q208 {

namespace {

class SilentSource : public PowerNotifier::Source {
public:
    bool Start(std::function<void(PowerEvent)>) override { return true; }
    void Stop() override {}
};

}  // namespace

std::unique_ptr<PowerNotifier::Source> PowerNotifier::SystemSource() { return std::make_unique<SilentSource>(); }

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
