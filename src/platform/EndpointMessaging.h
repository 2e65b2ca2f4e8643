#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Paths.h"

namespace q208 {

// A live message endpoint found in the runtime folder.
struct EndpointAddress {
    std::filesystem::path path;
    std::string className;
    std::string title;
};

enum class SendStatus {
    Delivered,   // the handler ran; `result` holds its answer
    NoListener,  // nobody listens there (any more)
    TimedOut,    // connected, but no answer within the time-out
    Refused,     // the endpoint would not take the frame (too large, malformed)
    Failed,      // the frame could not be built or written
};

struct SendResult {
    SendStatus status = SendStatus::Failed;
    int64_t result = 0;
    std::vector<uint8_t> data{};  // what the handler answered besides its result
    bool Delivered() const { return status == SendStatus::Delivered; }
};

inline constexpr int kDefaultSendTimeoutMs = 2000;
inline constexpr int kIdentifyTimeoutMs = 300;

const char* SendStatusText(SendStatus status);

// Every live endpoint in `folder` with its exact class and title; stale files are skipped.
std::vector<EndpointAddress> ListEndpoints(const std::filesystem::path& folder = RuntimeFolder());

// The first live endpoint whose class and title match exactly; an empty class or title
// matches any. With both given, a window that is too busy to say its name is still found
// by its file name.
std::optional<EndpointAddress> FindWindow(std::string_view className, std::string_view title,
                                          const std::filesystem::path& folder = RuntimeFolder());

// Sends a registered message by name and waits for the handler's result.
SendResult SendMessageTo(const EndpointAddress& endpoint, std::string_view name, uint64_t wParam, int64_t lParam,
                         int timeoutMs = kDefaultSendTimeoutMs);
// Queues a registered message without waiting for it to be handled. True when written.
bool PostMessageTo(const EndpointAddress& endpoint, std::string_view name, uint64_t wParam, int64_t lParam);
// Sends a data block (dwData + bytes) and waits for the handler's result. `wParam` names the
// sender, as a window handle would.
SendResult SendCopyData(const EndpointAddress& endpoint, uint64_t wParam, uint64_t dwData,
                        std::span<const uint8_t> bytes, int timeoutMs = kDefaultSendTimeoutMs);

// Posts a registered message to every live endpoint in the folder without waiting for any;
// the number reached.
int BroadcastMessage(std::string_view name, uint64_t wParam, int64_t lParam,
                     const std::filesystem::path& folder = RuntimeFolder());

}  // namespace q208
