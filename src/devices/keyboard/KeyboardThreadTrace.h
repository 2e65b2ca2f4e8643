#pragma once

#include "platform/WorkerThread.h"

namespace q208 {

// The debug line every keyboard thread stop leaves: ended, or timed out (the worker is
// left to finish on its own).
class KeyboardThreadTrace {
public:
    static const char* TextOf(WorkerThread::StopResult result);
    static void Stopped(WorkerThread::StopResult result);
};

}  // namespace q208
