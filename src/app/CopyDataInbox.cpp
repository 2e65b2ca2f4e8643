#include "app/CopyDataInbox.h"

#include "platform/Trace.h"

namespace q208 {

namespace {

// Data blocks of the audio recorder: a level frame, and a short record of 32-bit values.
constexpr uint64_t kLevelFrame = 1;
constexpr uint64_t kShortRecord = 2;
constexpr size_t kLevelFrameMaxBytes = 2000;
constexpr size_t kShortRecordMaxBytes = 6 * sizeof(uint32_t);

}  // namespace

size_t CopyDataInbox::Limit(uint64_t kind) {
    switch (kind) {
    case kLevelFrame: return kLevelFrameMaxBytes;
    case kShortRecord: return kShortRecordMaxBytes;
    default: return 0;
    }
}

bool CopyDataInbox::Push(const EndpointMessage& message) {
    if (message.data.size() > Limit(message.dwData)) {
        Trace("main window: data block of kind %llu with %zu bytes refused\n",
              static_cast<unsigned long long>(message.dwData), message.data.size());
        return false;
    }
    std::lock_guard lock(mutex_);
    messages_.push_back(message);
    return true;
}

void CopyDataInbox::Drain(const std::function<void(const EndpointMessage&)>& handle) {
    std::deque<EndpointMessage> messages;
    {
        std::lock_guard lock(mutex_);
        messages.swap(messages_);
    }
    for (const EndpointMessage& message : messages) handle(message);
}

}  // namespace q208
