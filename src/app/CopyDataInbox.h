#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/MessageEndpoint.h"

namespace q208 {

// Data blocks other programs send the main window (the audio recorder's level frames and
// short records). They arrive on the endpoint's thread, wait here, and are taken on the
// window's thread; a block larger than its kind allows is refused on arrival.
class CopyDataInbox {
public:
    // Largest block by kind; 0 for kinds not taken.
    static size_t Limit(uint64_t kind);

    // False when the block is refused.
    bool Push(const EndpointMessage& message);
    // Hands every waiting block to `handle`, in arrival order.
    void Drain(const std::function<void(const EndpointMessage&)>& handle);

private:
    std::mutex mutex_;
    std::deque<EndpointMessage> messages_;
};

}  // namespace q208
