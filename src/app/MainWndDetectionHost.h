#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "device/IDetectionHost.h"
#include "ui/UiTypes.h"

namespace q208 {

// Hands the detection thread's arrivals and removals to the main window's thread and waits
// until they are handled, giving up as soon as the thread is asked to stop or the window
// goes away (so a shutdown that waits for the detection thread never waits for itself).
class MainWndDetectionHost : public IDetectionHost {
public:
    // `firstPassMessage` is posted with wParam 0 and lParam 0 after the first pass.
    MainWndDetectionHost(HWND window, UINT arrivalMessage, UINT removalMessage, UINT firstPassMessage);

    void SendArrival(size_t slot, const Event& stop) override;
    void SendRemoval(size_t slot, const Event& stop) override;
    void PostFirstPassDone() override;

    // On the window's thread: handles every queued arrival and removal with `handle`
    // (message, slot) and releases the waiting thread.
    void Drain(const std::function<void(UINT message, size_t slot)>& handle);

private:
    struct Pending {
        UINT message;
        size_t slot;
        std::shared_ptr<Event> done;
    };
    void Send(UINT message, size_t slot, const Event& stop);

    HWND window_;
    UINT arrival_;
    UINT removal_;
    UINT firstPass_;
    std::mutex mutex_;
    std::deque<Pending> pending_;
};

}  // namespace q208
