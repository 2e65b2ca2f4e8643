#include "platform/EndpointMessaging.h"

#include <algorithm>
#include <array>

#include "platform/LocalSocket.h"
#include "platform/MessageEndpoint.h"
#include "platform/TickCount.h"
#include "platform/Trace.h"

namespace q208 {
namespace fs = std::filesystem;
namespace {

// A reply carries a class and a title, or what a handler answered: no more than an
// endpoint takes by default.
constexpr size_t kMaxReplyDataBytes = kDefaultMaxFrameDataBytes;

struct StatusName {
    SendStatus status;
    const char* text;
};
constexpr std::array<StatusName, 5> kStatusNames{{
    {SendStatus::Delivered, "delivered"},
    {SendStatus::NoListener, "no listener"},
    {SendStatus::TimedOut, "no answer in time"},
    {SendStatus::Refused, "refused"},
    {SendStatus::Failed, "failed"},
}};

std::vector<fs::path> SocketFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    if (folder.empty()) return files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() == MessageEndpoint::kSocketExtension && it->is_socket(ec)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());  // a stable order for FindWindow's "first"
    return files;
}

// Connects, writes the frame and, when it wants one, reads the answer.
SendResult Exchange(const fs::path& path, const MessageFrame& frame, int timeoutMs, MessageFrame* answer = nullptr) {
    const std::vector<uint8_t> bytes = EncodeFrame(frame);
    if (bytes.empty()) return SendResult{SendStatus::Failed};
    const uint64_t deadline = TickCount64() + static_cast<uint64_t>(std::max(timeoutMs, 0));
    LocalSocket socket;
    switch (socket.Connect(path, timeoutMs)) {
    case LocalSocket::ConnectResult::Connected: break;
    case LocalSocket::ConnectResult::NoListener: return SendResult{SendStatus::NoListener};
    case LocalSocket::ConnectResult::Failed: return SendResult{SendStatus::Failed};
    }
    if (!socket.WriteAll(bytes, deadline)) {
        // The endpoint stops reading and closes once it has refused a frame.
        const ParsedFrame early = socket.ReadFrame(0, TickCount64());
        const bool refused = early.status == FrameStatus::Complete && early.frame.kind == FrameKind::Refused;
        return SendResult{refused ? SendStatus::Refused : TickCount64() >= deadline ? SendStatus::TimedOut
                                                                                     : SendStatus::Failed};
    }
    if (!frame.wantsReply && frame.kind != FrameKind::Identify) return SendResult{SendStatus::Delivered};
    ParsedFrame reply = socket.ReadFrame(kMaxReplyDataBytes, deadline);
    if (reply.status == FrameStatus::Incomplete) {
        return SendResult{TickCount64() >= deadline ? SendStatus::TimedOut : SendStatus::Failed};
    }
    if (reply.status != FrameStatus::Complete) return SendResult{SendStatus::Failed};
    if (reply.frame.kind == FrameKind::Refused) return SendResult{SendStatus::Refused};
    if (reply.frame.kind != FrameKind::Reply) return SendResult{SendStatus::Failed};
    SendResult result{SendStatus::Delivered, reply.frame.lParam, std::move(reply.frame.data)};
    if (answer) {
        *answer = std::move(reply.frame);
        answer->data = result.data;
    }
    return result;
}

struct Identity {
    SendStatus status = SendStatus::Failed;
    std::optional<EndpointAddress> address;
};

Identity Identify(const fs::path& path) {
    MessageFrame question;
    question.kind = FrameKind::Identify;
    MessageFrame answer;
    Identity identity;
    identity.status = Exchange(path, question, kIdentifyTimeoutMs, &answer).status;
    if (identity.status != SendStatus::Delivered) return identity;
    const auto separator = std::find(answer.data.begin(), answer.data.end(), uint8_t{0});
    if (separator == answer.data.end()) return identity;
    identity.address =
        EndpointAddress{path, std::string(answer.data.begin(), separator), std::string(separator + 1, answer.data.end())};
    return identity;
}

// A window named exactly has one of a few known file names. One whose listener is busy
// (its handler has not returned yet) is still taken on the strength of its name hash, so a
// busy program is not mistaken for one that does not run.
std::optional<EndpointAddress> FindExactlyNamed(std::string_view className, std::string_view title,
                                                const fs::path& folder) {
    const std::string cls(className), ttl(title);
    if (folder.empty()) return std::nullopt;  // no safe runtime folder: nobody to find
    for (int instance = 0; instance < MessageEndpoint::kMaxInstances; ++instance) {
        const fs::path path = MessageEndpoint::SocketPath(folder, cls, ttl, instance);
        std::error_code ec;
        if (path.empty() || !fs::exists(path, ec)) continue;
        Identity identity = Identify(path);
        if (identity.address && identity.address->className == cls && identity.address->title == ttl) {
            return identity.address;
        }
        if (identity.status == SendStatus::TimedOut) return EndpointAddress{path, cls, ttl};
    }
    return std::nullopt;
}

MessageFrame NamedMessage(std::string_view name, uint64_t wParam, int64_t lParam, bool wantsReply) {
    MessageFrame frame;
    frame.kind = FrameKind::Message;
    frame.wantsReply = wantsReply;
    frame.name = std::string(name);
    frame.wParam = wParam;
    frame.lParam = lParam;
    return frame;
}

}  // namespace

const char* SendStatusText(SendStatus status) {
    for (const StatusName& entry : kStatusNames) {
        if (entry.status == status) return entry.text;
    }
    return "unknown";
}

std::vector<EndpointAddress> ListEndpoints(const fs::path& folder) {
    std::vector<EndpointAddress> endpoints;
    for (const fs::path& file : SocketFiles(folder)) {
        if (auto endpoint = Identify(file).address) endpoints.push_back(std::move(*endpoint));
    }
    return endpoints;
}

std::optional<EndpointAddress> FindWindow(std::string_view className, std::string_view title, const fs::path& folder) {
    if (!className.empty() && !title.empty()) return FindExactlyNamed(className, title, folder);
    for (const fs::path& file : SocketFiles(folder)) {
        auto endpoint = Identify(file).address;
        if (endpoint && (className.empty() || endpoint->className == className) &&
            (title.empty() || endpoint->title == title)) {
            return endpoint;
        }
    }
    return std::nullopt;
}

SendResult SendMessageTo(const EndpointAddress& endpoint, std::string_view name, uint64_t wParam, int64_t lParam,
                         int timeoutMs) {
    return Exchange(endpoint.path, NamedMessage(name, wParam, lParam, true), timeoutMs);
}

bool PostMessageTo(const EndpointAddress& endpoint, std::string_view name, uint64_t wParam, int64_t lParam) {
    return Exchange(endpoint.path, NamedMessage(name, wParam, lParam, false), kDefaultSendTimeoutMs).Delivered();
}

SendResult SendCopyData(const EndpointAddress& endpoint, uint64_t wParam, uint64_t dwData,
                        std::span<const uint8_t> bytes, int timeoutMs) {
    MessageFrame frame;
    frame.kind = FrameKind::CopyData;
    frame.wantsReply = true;
    frame.wParam = wParam;
    frame.dwData = dwData;
    frame.data.assign(bytes.begin(), bytes.end());
    return Exchange(endpoint.path, frame, timeoutMs);
}

int BroadcastMessage(std::string_view name, uint64_t wParam, int64_t lParam, const fs::path& folder) {
    int reached = 0;
    for (const fs::path& file : SocketFiles(folder)) {
        // Stale files of crashed copies answer NoListener and are skipped; only their owner's
        // successor removes them, so a window that is binding right now is never disturbed.
        // No wait: a socket whose owner never accepts (a backlog that is full) is skipped at
        // once, so a broadcast from the window's thread never stalls on a foreign program.
        if (Exchange(file, NamedMessage(name, wParam, lParam, false), 0).Delivered()) ++reached;
    }
    Trace("broadcast '%.*s' (%llu, %lld) reached %d endpoints", static_cast<int>(name.size()), name.data(),
          static_cast<unsigned long long>(wParam), static_cast<long long>(lParam), reached);
    return reached;
}

}  // namespace q208
