#include "app/MainWndDetectionHost.h"

#include "app/MainWndMessages.h"
#include "ui/UiMessaging.h"

namespace q208 {

namespace {
constexpr int kWindowCheckMs = 50;
}

MainWndDetectionHost::MainWndDetectionHost(HWND window, UINT arrivalMessage, UINT removalMessage,
                                           UINT firstPassMessage)
    : window_(window), arrival_(arrivalMessage), removal_(removalMessage), firstPass_(firstPassMessage) {}

void MainWndDetectionHost::SendArrival(size_t slot, const Event& stop) { Send(arrival_, slot, stop); }
void MainWndDetectionHost::SendRemoval(size_t slot, const Event& stop) { Send(removal_, slot, stop); }

void MainWndDetectionHost::PostFirstPassDone() { PostMessage(window_, firstPass_, 0, 0); }

void MainWndDetectionHost::Send(UINT message, size_t slot, const Event& stop) {
    auto done = std::make_shared<Event>(Event::ResetMode::Manual);
    {
        std::lock_guard lock(mutex_);
        pending_.push_back({message, slot, done});
    }
    if (!PostMessage(window_, WM_DETECTION_WORK)) return;
    while (IsWindow(window_)) {
        if (Event::WaitAny({done.get(), &stop}, kWindowCheckMs) >= 0) return;
    }
}

void MainWndDetectionHost::Drain(const std::function<void(UINT message, size_t slot)>& handle) {
    for (;;) {
        Pending next;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty()) return;
            next = std::move(pending_.front());
            pending_.pop_front();
        }
        handle(next.message, next.slot);
        next.done->Set();
    }
}

}  // namespace q208
