#pragma once

#include <cstddef>

#include "platform/Event.h"

namespace q208 {

// What the detection thread tells its owner. The two Send calls block until the owner has
// handled the slot, so an arrival is complete before the next interface is examined; an
// owner that hands the call to another thread should also give up waiting once `stop` is
// set, or a shutdown that waits for the detection thread waits for itself.
class IDetectionHost {
public:
    virtual ~IDetectionHost() = default;
    virtual void SendArrival(size_t slot, const Event& stop) = 0;
    virtual void SendRemoval(size_t slot, const Event& stop) = 0;
    // The first scan pass is over (posted once per start, whatever it found).
    virtual void PostFirstPassDone() = 0;
};

}  // namespace q208
