#include "platform/LocalSocket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/TickCount.h"

namespace q208 {
namespace {

int MsLeft(uint64_t deadline) {
    const uint64_t now = TickCount64();
    return now >= deadline ? 0 : static_cast<int>(std::min<uint64_t>(deadline - now, 60'000));
}

bool WaitFor(int fd, short events, uint64_t deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = poll(&p, 1, MsLeft(deadline));
        if (n > 0) return true;  // errors and hang-ups show up in the following call
        if (n == 0) return false;
        if (errno != EINTR) return false;
    }
}

}  // namespace

LocalSocket::LocalSocket(LocalSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

LocalSocket& LocalSocket::operator=(LocalSocket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void LocalSocket::Close() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

LocalSocket::ConnectResult LocalSocket::Connect(const std::filesystem::path& path, int timeoutMs) {
    Close();
    const std::string text = path.string();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (text.size() > kMaxPathBytes) return ConnectResult::Failed;
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);

    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) return ConnectResult::Failed;
    const uint64_t deadline = TickCount64() + static_cast<uint64_t>(std::max(timeoutMs, 0));
    for (;;) {
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            return ConnectResult::Connected;
        }
        const int error = errno;
        if (error == ECONNREFUSED || error == ENOENT) {
            Close();
            return ConnectResult::NoListener;
        }
        // EAGAIN: the listener's backlog is full; it drains as the listener accepts.
        if ((error != EAGAIN && error != EINTR) || MsLeft(deadline) == 0) break;
        ::poll(nullptr, 0, std::min(MsLeft(deadline), 5));
    }
    Close();
    return ConnectResult::Failed;
}

bool LocalSocket::WriteAll(std::span<const uint8_t> bytes, uint64_t deadline) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            if (!WaitFor(fd_, POLLOUT, deadline)) return false;
        } else {
            return false;
        }
    }
    return true;
}

ParsedFrame LocalSocket::ReadFrame(size_t maxDataBytes, uint64_t deadline) {
    std::vector<uint8_t> buffer;
    size_t wanted = kFrameHeaderBytes;
    for (;;) {
        ParsedFrame parsed = ParseFrame(buffer, maxDataBytes);
        if (parsed.status != FrameStatus::Incomplete) return parsed;
        if (parsed.frameBytes != 0) wanted = parsed.frameBytes;
        const size_t have = buffer.size();
        buffer.resize(wanted);
        ssize_t n = ::recv(fd_, buffer.data() + have, wanted - have, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            n = 0;
            buffer.resize(have);
            if (!WaitFor(fd_, POLLIN, deadline)) return ParsedFrame{};
            continue;
        }
        if (n <= 0) return ParsedFrame{};  // closed or failed before the frame was whole
        buffer.resize(have + static_cast<size_t>(n));
    }
}

}  // namespace q208
