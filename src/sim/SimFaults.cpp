#include "sim/SimFaults.h"

namespace q208::sim {

bool FaultCounter::Take() {
    int current = remaining_.load();
    while (current != 0) {
        if (current < 0) {  // kAlways (any negative count is taken as persistent)
            return true;
        }
        if (remaining_.compare_exchange_weak(current, current - 1)) {
            return true;
        }
    }
    return false;
}

void SimFaults::Clear() {
    staleAnswer = 0;
    noAnswer = 0;
    statusRefused = 0;
    statusBadChecksum = 0;
    unreachableAnswer = 0;
    slowAnswer = 0;
    unplugDuringTransfer = 0;
    linkLoss = 0;
    staleAnswers.store(1);
    slowAnswerMs.store(1500);
}

}  // namespace q208::sim
