#include "platform/MessageEndpoint.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Paths.h"
#include "platform/TickCount.h"
#include "platform/Trace.h"

namespace q208 {
namespace {

// Connections being read at once. When all are taken, the one waiting longest makes room
// for a newcomer: idle connections can delay a sender by no more than their time-out and
// never lock it out, and memory stays bounded (a frame buffer each).
constexpr size_t kMaxConnections = 64;
constexpr int kListenBacklog = SOMAXCONN;
constexpr int kProbeTimeoutMs = 200;
constexpr int kStopTimeoutMs = 2000;
constexpr size_t kHashChars = 16;

uint64_t NameHash(const std::string& className, const std::string& title) {
    uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a
    auto mix = [&](unsigned char c) { hash = (hash ^ c) * 0x100000001b3ull; };
    for (char c : className) mix(static_cast<unsigned char>(c));
    mix(0);
    for (char c : title) mix(static_cast<unsigned char>(c));
    return hash;
}

std::string SafeFileText(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (!(std::isalnum(u) || c == '-' || c == '_')) c = '_';
    }
    return out;
}

int MsLeft(uint64_t deadline) {
    const uint64_t now = TickCount64();
    return now >= deadline ? 0 : static_cast<int>(deadline - now);
}

bool SameUser(int fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == geteuid();
}

uint64_t InodeOf(const std::filesystem::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_ino) : 0;
}

}  // namespace

struct MessageEndpoint::Listener {
    struct Connection {
        LocalSocket socket;
        std::vector<uint8_t> buffer;
        uint64_t deadline = 0;
    };
    enum class ReadState { Waiting, Done };

    std::string className;
    std::string title;
    ReplyHandler handler;
    Options options;
    std::string where;  // for traces

    void Run(const Event& stop, LocalSocket& listenSocket) {
        std::vector<Connection> connections;
        std::vector<pollfd> fds;
        for (;;) {
            fds.assign({pollfd{stop.Fd(), POLLIN, 0}, pollfd{listenSocket.Fd(), POLLIN, 0}});
            int timeout = -1;
            for (const Connection& c : connections) {
                fds.push_back(pollfd{c.socket.Fd(), POLLIN, 0});
                timeout = timeout < 0 ? MsLeft(c.deadline) : std::min(timeout, MsLeft(c.deadline));
            }
            if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
                Trace("%s: poll failed: %s", where.c_str(), std::strerror(errno));
                return;
            }
            if (stop.IsSet()) return;
            // Connections first: the indices in `fds` match them only before new ones arrive.
            for (size_t i = connections.size(); i-- > 0;) {
                Connection& c = connections[i];
                const bool ready = fds[2 + i].revents != 0;
                if ((ready && ReadFrom(c) == ReadState::Done) || (!ready && MsLeft(c.deadline) == 0 && Expire(c))) {
                    connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(i));
                }
            }
            if (fds[1].revents & POLLIN) AcceptAll(listenSocket, connections);
        }
    }

    bool Expire(const Connection& c) {
        Trace("%s: no whole frame within %d ms (%zu bytes); connection dropped", where.c_str(),
              options.receiveTimeoutMs, c.buffer.size());
        return true;
    }

    void AcceptAll(LocalSocket& listenSocket, std::vector<Connection>& connections) {
        for (;;) {
            LocalSocket accepted(::accept4(listenSocket.Fd(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
            if (!accepted.IsOpen()) return;
            if (!SameUser(accepted.Fd())) {
                Trace("%s: connection from another user refused", where.c_str());
            } else {
                if (connections.size() >= kMaxConnections) {
                    Trace("%s: %zu connections pending; the oldest (%zu bytes read) dropped", where.c_str(),
                          connections.size(), connections.front().buffer.size());
                    connections.erase(connections.begin());
                }
                connections.push_back(Connection{std::move(accepted), {},
                                                 TickCount64() + static_cast<uint64_t>(options.receiveTimeoutMs)});
            }
        }
    }

    // Reads what has arrived; Done once the connection is finished with (served, refused or closed).
    ReadState ReadFrom(Connection& c) {
        for (;;) {
            ParsedFrame parsed = ParseFrame(c.buffer, options.maxDataBytes);
            if (parsed.status == FrameStatus::Complete) {
                Serve(c.socket, parsed.frame);
                return ReadState::Done;
            }
            if (parsed.status != FrameStatus::Incomplete) {
                Refuse(c.socket, parsed);
                return ReadState::Done;
            }
            const size_t wanted = parsed.frameBytes ? parsed.frameBytes : kFrameHeaderBytes;
            const size_t have = c.buffer.size();
            c.buffer.resize(wanted);
            const ssize_t n = ::recv(c.socket.Fd(), c.buffer.data() + have, wanted - have, MSG_DONTWAIT);
            c.buffer.resize(have + static_cast<size_t>(std::max<ssize_t>(n, 0)));
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) return ReadState::Waiting;
            if (n <= 0) {
                if (have != 0) Trace("%s: connection closed after %zu bytes of a frame", where.c_str(), have);
                return ReadState::Done;
            }
        }
    }

    void Serve(LocalSocket& socket, MessageFrame& frame) {
        MessageFrame reply;
        reply.kind = FrameKind::Reply;
        if (frame.kind == FrameKind::Identify) {
            reply.data.assign(className.begin(), className.end());
            reply.data.push_back(0);
            reply.data.insert(reply.data.end(), title.begin(), title.end());
        } else if (frame.kind == FrameKind::Message || frame.kind == FrameKind::CopyData) {
            EndpointMessage message;
            message.isCopyData = frame.kind == FrameKind::CopyData;
            message.name = std::move(frame.name);
            message.wParam = frame.wParam;
            message.lParam = frame.lParam;
            message.dwData = frame.dwData;
            message.data = std::move(frame.data);
            EndpointReply answer = handler ? handler(message) : EndpointReply{};
            if (!frame.wantsReply) return;
            if (answer.data.size() > options.maxDataBytes) {
                ParsedFrame tooLarge;
                tooLarge.error = "reply of " + std::to_string(answer.data.size()) + " bytes not sent";
                Refuse(socket, tooLarge);
                return;
            }
            reply.lParam = answer.result;
            reply.data = std::move(answer.data);
        } else {
            ParsedFrame refused;
            refused.error = std::string("unexpected ") + FrameKindName(frame.kind) + " frame";
            Refuse(socket, refused);
            return;
        }
        const std::vector<uint8_t> bytes = EncodeFrame(reply);
        if (!socket.WriteAll(bytes, TickCount64() + kProbeTimeoutMs)) {
            Trace("%s: the sender left before its reply", where.c_str());
        }
    }

    void Refuse(LocalSocket& socket, const ParsedFrame& parsed) {
        Trace("%s: frame refused: %s", where.c_str(), parsed.error.c_str());
        MessageFrame refused;
        refused.kind = FrameKind::Refused;
        socket.WriteAll(EncodeFrame(refused), TickCount64());  // best effort; the sender may be gone
    }
};

MessageEndpoint::MessageEndpoint(std::string className, std::string title, Handler handler)
    : MessageEndpoint(std::move(className), std::move(title), std::move(handler), Options{}) {}

MessageEndpoint::MessageEndpoint(std::string className, std::string title, Handler handler, Options options)
    : MessageEndpoint(std::move(className), std::move(title),
                      ReplyHandler([handler = std::move(handler)](const EndpointMessage& message) {
                          return EndpointReply{handler ? handler(message) : 0, {}};
                      }),
                      std::move(options)) {}

MessageEndpoint::MessageEndpoint(std::string className, std::string title, ReplyHandler handler)
    : MessageEndpoint(std::move(className), std::move(title), std::move(handler), Options{}) {}

MessageEndpoint::MessageEndpoint(std::string className, std::string title, ReplyHandler handler, Options options)
    : className_(std::move(className)), title_(std::move(title)), handler_(std::move(handler)),
      options_(std::move(options)) {}

MessageEndpoint::~MessageEndpoint() { Close(); }

std::filesystem::path MessageEndpoint::SocketPath(const std::filesystem::path& folder, const std::string& className,
                                                  const std::string& title, int instance) {
    char hash[kHashChars + 1];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(NameHash(className, title)));
    std::string tail = std::string(".") + hash;
    if (instance > 0) tail += "-" + std::to_string(instance);
    tail += kSocketExtension;

    const size_t folderBytes = folder.string().size() + 1;  // with the separator
    if (folderBytes + tail.size() + 1 > LocalSocket::kMaxPathBytes) return {};
    std::string readable = SafeFileText(className) + "." + SafeFileText(title);
    readable.resize(std::min(readable.size(), LocalSocket::kMaxPathBytes - folderBytes - tail.size()));
    return folder / (readable + tail);
}

bool MessageEndpoint::Open() {
    if (IsOpen()) return true;
    const std::filesystem::path folder = options_.folder.empty() ? RuntimeFolder() : options_.folder;
    if (folder.empty()) {
        Trace("message endpoint: no safe runtime folder: %s", RuntimeFolderProblem().c_str());
        return false;
    }
    LocalSocket listenSocket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!listenSocket.IsOpen()) {
        Trace("message endpoint: socket failed: %s", std::strerror(errno));
        return false;
    }
    for (int instance = 0; instance < kMaxInstances; ++instance) {
        const std::filesystem::path path = SocketPath(folder, className_, title_, instance);
        if (path.empty()) {
            Trace("message endpoint: runtime folder '%s' too long for a socket name", folder.c_str());
            return false;
        }
        LocalSocket probe;
        switch (probe.Connect(path, kProbeTimeoutMs)) {
        case LocalSocket::ConnectResult::Connected: continue;  // a live window of the same name
        case LocalSocket::ConnectResult::NoListener: ::unlink(path.c_str()); break;  // stale or absent
        case LocalSocket::ConnectResult::Failed: continue;
        }
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.string().size() + 1);
        if (::bind(listenSocket.Fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            if (errno == EADDRINUSE) continue;  // another copy bound it just now
            Trace("message endpoint: bind '%s' failed: %s", path.c_str(), std::strerror(errno));
            return false;
        }
        ::chmod(path.c_str(), 0600);  // the folder already keeps others out; the socket says so too
        if (::listen(listenSocket.Fd(), kListenBacklog) != 0) {
            Trace("message endpoint: listen '%s' failed: %s", path.c_str(), std::strerror(errno));
            ::unlink(path.c_str());
            return false;
        }
        path_ = path;
        boundInode_ = InodeOf(path);
        auto listener = std::make_shared<Listener>(
            Listener{className_, title_, handler_, options_, "endpoint '" + path.filename().string() + "'"});
        listener_.Start([listener, socket = std::make_shared<LocalSocket>(std::move(listenSocket))](const Event& stop) {
            listener->Run(stop, *socket);
        });
        return true;
    }
    Trace("message endpoint: %d windows named '%s' '%s' already listen", kMaxInstances, className_.c_str(),
          title_.c_str());
    return false;
}

void MessageEndpoint::Close() {
    listener_.Stop(kStopTimeoutMs);
    // Only our own file: a later copy may have taken the name after a stop that timed out.
    if (!path_.empty() && boundInode_ != 0 && InodeOf(path_) == boundInode_) ::unlink(path_.c_str());
    path_.clear();
    boundInode_ = 0;
}

}  // namespace q208
