#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/LocalSocket.h"
#include "platform/MessageFrame.h"
#include "platform/WorkerThread.h"

namespace q208 {

// A message or data block that another local program sent to an endpoint.
struct EndpointMessage {
    bool isCopyData = false;
    std::string name;  // the registered name; empty for a data block
    uint64_t wParam = 0;
    int64_t lParam = 0;
    uint64_t dwData = 0;  // data blocks only
    std::vector<uint8_t> data;
};

// What a handler answers: the result, and for a sender that reads it a data block (text,
// for instance), bounded like the blocks the endpoint takes.
struct EndpointReply {
    int64_t result = 0;
    std::vector<uint8_t> data{};
};

// The reachable side of a window for other programs of the same user: a Unix stream socket
// in the runtime folder, named after the window class and title. A listener thread takes
// one frame per connection, refuses anything malformed or oversized (with a trace) and
// hands messages and data blocks to the handler on that thread. The handler's result goes
// back to a sender that waits for it. The receiver maps names to its own message numbers.
class MessageEndpoint {
public:
    using Handler = std::function<int64_t(const EndpointMessage&)>;
    // A handler that also answers with data. A reply larger than maxDataBytes is not sent:
    // the sender is refused (and a trace says why).
    using ReplyHandler = std::function<EndpointReply(const EndpointMessage&)>;

    struct Options {
        size_t maxDataBytes = kDefaultMaxFrameDataBytes;
        // A connection that has not delivered its frame within this time is dropped.
        int receiveTimeoutMs = 2000;
        std::filesystem::path folder;  // empty: RuntimeFolder()
    };

    MessageEndpoint(std::string className, std::string title, Handler handler);
    MessageEndpoint(std::string className, std::string title, Handler handler, Options options);
    MessageEndpoint(std::string className, std::string title, ReplyHandler handler);
    MessageEndpoint(std::string className, std::string title, ReplyHandler handler, Options options);
    ~MessageEndpoint();
    MessageEndpoint(const MessageEndpoint&) = delete;
    MessageEndpoint& operator=(const MessageEndpoint&) = delete;

    // Binds the socket (replacing a stale file of a crashed copy) and starts listening.
    bool Open();
    // Stops the listener and removes the socket file.
    void Close();
    bool IsOpen() const { return listener_.IsRunning(); }

    const std::filesystem::path& Path() const { return path_; }
    const std::string& ClassName() const { return className_; }
    const std::string& Title() const { return title_; }

    // The file name for a window: readable class and title (other characters become '_'),
    // shortened to fit the socket path limit, then a hash of the exact class and title and
    // for `instance` > 0 a number that keeps two windows of the same name apart.
    // Empty when the folder leaves no room for a name.
    static std::filesystem::path SocketPath(const std::filesystem::path& folder, const std::string& className,
                                            const std::string& title, int instance);
    static constexpr const char* kSocketExtension = ".sock";
    // Windows of the same class and title that may listen at once (instances 0 to 15).
    static constexpr int kMaxInstances = 16;

private:
    // What the listener thread uses; shared so that a listener that outlives a bounded stop
    // (a handler that never returns) still touches valid memory.
    struct Listener;

    std::string className_;
    std::string title_;
    ReplyHandler handler_;
    Options options_;
    std::filesystem::path path_;
    uint64_t boundInode_ = 0;
    WorkerThread listener_{"message endpoint"};
};

}  // namespace q208
