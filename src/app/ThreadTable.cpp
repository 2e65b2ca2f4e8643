#include "app/ThreadTable.h"

#include "platform/Trace.h"

namespace q208 {

void ThreadTable::Set(size_t slot, std::string name, Stopper stopper) {
    if (slot < kSlotCount) slots_[slot] = {std::move(name), std::move(stopper)};
}

int ThreadTable::StopAll(int timeoutMs) {
    int leftBehind = 0;
    for (Slot& slot : slots_) {
        if (!slot.stop) continue;
        switch (slot.stop(timeoutMs)) {
        case WorkerThread::StopResult::Ended:
        case WorkerThread::StopResult::NotRunning: Trace("所有对象处于激发状态\n"); break;
        case WorkerThread::StopResult::TimedOut:
            ++leftBehind;
            Trace("所有对象处于非激发状态，超时\n");
            Trace("thread '%s' did not stop within %d ms\n", slot.name.c_str(), timeoutMs);
            break;
        }
        slot = {};
    }
    return leftBehind;
}

}  // namespace q208
