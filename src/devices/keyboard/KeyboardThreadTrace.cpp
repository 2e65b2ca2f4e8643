#include "devices/keyboard/KeyboardThreadTrace.h"

#include "platform/Trace.h"

namespace q208 {

const char* KeyboardThreadTrace::TextOf(WorkerThread::StopResult result) {
    switch (result) {
        case WorkerThread::StopResult::Ended: return "线程退出：：对象处于激发状态\n";
        case WorkerThread::StopResult::TimedOut: return "线程退出：：对象处于非激发状态，超时\n";
        case WorkerThread::StopResult::NotRunning: break;
    }
    return "线程退出：：错误\n";
}

void KeyboardThreadTrace::Stopped(WorkerThread::StopResult result) {
    if (result != WorkerThread::StopResult::NotRunning) Trace("%s", TextOf(result));
}

}  // namespace q208
