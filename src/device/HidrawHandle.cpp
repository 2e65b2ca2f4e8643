#include "device/HidrawHandle.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/TickCount.h"

namespace q208 {
namespace {

bool Retryable(int error) { return error == EINTR || error == EAGAIN || error == EWOULDBLOCK; }

uint64_t DeadlineAfter(int timeoutMs) {
    return TickCount64() + static_cast<uint64_t>(std::max(timeoutMs, 0));
}

}  // namespace

HidrawHandle::HidrawHandle(UniqueFd fd, std::shared_ptr<const HidReportDescriptor> descriptor,
                           size_t collectionIndex)
    : fd_(std::make_shared<const UniqueFd>(std::move(fd))),
      descriptor_(std::move(descriptor)),
      collection_(collectionIndex),
      readBuffer_(HidReportDescriptor::kMaxReportBytes + 1),
      writer_(fd_) {}

HidrawHandle::Ready HidrawHandle::WaitFor(short events, uint64_t deadline, bool forever,
                                          const Event* abort) const {
    for (;;) {
        pollfd fds[2] = {{fd_->Get(), events, 0}, {abort ? abort->Fd() : -1, POLLIN, 0}};
        int wait = -1;
        if (!forever) {
            const uint64_t now = TickCount64();
            wait = now >= deadline ? 0 : static_cast<int>(deadline - now);
        }
        const int ready = poll(fds, 2, wait);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return Ready::Failed;
        }
        if ((fds[1].revents & POLLIN) && abort->TryConsume()) return Ready::Aborted;
        if (fds[0].revents & events) return Ready::Yes;  // a read or write reports the error, if any
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return Ready::Failed;
        if (ready == 0 && wait == 0) return Ready::TimedOut;
    }
}

int HidrawHandle::Read(uint8_t* buf, size_t len, int timeoutMs, const Event* abort) {
    if (buf == nullptr || len == 0 || !fd_->Valid()) return kHidIoFailed;
    const bool forever = timeoutMs < 0;
    const uint64_t deadline = DeadlineAfter(timeoutMs);
    for (;;) {
        switch (WaitFor(POLLIN, deadline, forever, abort)) {
            case Ready::TimedOut: return kHidIoTimeout;
            case Ready::Aborted: return kHidIoAborted;
            case Ready::Failed: return kHidIoFailed;
            case Ready::Yes: break;
        }
        const ssize_t n = ::read(fd_->Get(), readBuffer_.data(), readBuffer_.size());
        if (n < 0 && Retryable(errno)) continue;
        if (n <= 0) return kHidIoFailed;  // EIO / ENODEV after unplug, or the node closed
        const int stored = ToCommonLayout(readBuffer_.data(), static_cast<size_t>(n), buf, len);
        if (stored > 0) return stored;
    }
}

int HidrawHandle::ToCommonLayout(const uint8_t* raw, size_t rawLength, uint8_t* buf,
                                 size_t len) const {
    const bool numbered = descriptor_->UsesReportIds();
    const uint8_t reportId = numbered ? raw[0] : 0;
    if (descriptor_->CollectionOfInputReport(reportId) != static_cast<int>(collection_)) return 0;
    const uint8_t* data = numbered ? raw + 1 : raw;
    const size_t dataLength = numbered ? rawLength - 1 : rawLength;
    buf[0] = reportId;
    const size_t copied = std::min(dataLength, len - 1);
    std::memcpy(buf + 1, data, copied);
    size_t stored = copied + 1;
    const size_t padded = std::min<size_t>(
        len, descriptor_->Collections()[collection_].ReportByteLength(HidReportType::Input));
    if (stored < padded) {
        std::memset(buf + stored, 0, padded - stored);
        stored = padded;
    }
    return static_cast<int>(stored);
}

int HidrawHandle::Write(const uint8_t* buf, size_t len, int timeoutMs, const Event* abort) {
    return writer_.Write(buf, len, timeoutMs, abort);
}

void HidrawHandle::Flush() {
    if (!fd_->Valid()) return;
    std::vector<uint8_t> scratch(HidReportDescriptor::kMaxReportBytes + 1);
    for (;;) {
        pollfd p{fd_->Get(), POLLIN, 0};
        if (poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN)) return;
        const ssize_t n = ::read(fd_->Get(), scratch.data(), scratch.size());
        if (n <= 0 && !(n < 0 && errno == EINTR)) return;
    }
}

}  // namespace q208
