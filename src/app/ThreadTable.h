#pragma once

#include <array>
#include <functional>
#include <string>

#include "platform/WorkerThread.h"

namespace q208 {

// The main window's worker threads by slot (0 detection, 1 audio watch, 8 light
// synchronisation). Shutdown stops them in slot order, each within its bound; a worker
// that does not end in time is left behind (it holds only shared state) and traced.
class ThreadTable {
public:
    static constexpr size_t kSlotCount = 20;
    static constexpr int kStopTimeoutMs = 1000;
    // Stops the worker within the bound and says how it went.
    using Stopper = std::function<WorkerThread::StopResult(int timeoutMs)>;

    void Set(size_t slot, std::string name, Stopper stopper);
    bool Has(size_t slot) const { return slot < kSlotCount && static_cast<bool>(slots_[slot].stop); }
    // Stops every worker; the number that did not end within the bound.
    int StopAll(int timeoutMs = kStopTimeoutMs);

private:
    struct Slot {
        std::string name;
        Stopper stop;
    };
    std::array<Slot, kSlotCount> slots_;
};

}  // namespace q208
