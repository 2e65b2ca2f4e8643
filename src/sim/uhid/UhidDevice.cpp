#include "sim/uhid/UhidDevice.h"

#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include "platform/Trace.h"

namespace q208::sim {
namespace {

// Copies a text into a fixed kernel field, always terminated.
template <size_t N>
void CopyText(__u8 (&field)[N], const std::string& text) {
    const size_t n = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), n);
    field[n] = 0;
}

// The event up to the end of its payload: the kernel takes shorter writes than the full
// event, which saves copying 4 KiB per report.
constexpr size_t kInputHeader = offsetof(uhid_event, u.input2.data);

}  // namespace

std::unique_ptr<UhidDevice> UhidDevice::Create(const std::string& uhidNode, const UhidIdentity& identity,
                                               OutputHandler handler, std::string& error) {
    if (identity.reportDescriptor.empty() || identity.reportDescriptor.size() > HID_MAX_DESCRIPTOR_SIZE) {
        error = "report descriptor of " + std::to_string(identity.reportDescriptor.size()) + " bytes";
        return nullptr;
    }
    UniqueFd fd(::open(uhidNode.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid()) {
        error = "cannot open " + uhidNode + ": " + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<UhidDevice> device(new UhidDevice(std::move(fd), std::move(handler)));
    auto event = std::make_unique<uhid_event>();
    std::memset(event.get(), 0, sizeof(uhid_event));
    event->type = UHID_CREATE2;
    uhid_create2_req& req = event->u.create2;
    CopyText(req.name, identity.name);
    CopyText(req.phys, identity.phys);
    CopyText(req.uniq, identity.uniq);
    req.bus = identity.bus;
    req.vendor = identity.vendor;
    req.product = identity.product;
    req.version = identity.version;
    req.rd_size = static_cast<__u16>(identity.reportDescriptor.size());
    std::memcpy(req.rd_data, identity.reportDescriptor.data(), identity.reportDescriptor.size());
    if (!device->Send(event.get(), sizeof(uhid_event))) {
        error = "the kernel refused the device " + identity.name + ": " + std::strerror(errno);
        return nullptr;
    }
    device->thread_ = std::thread([raw = device.get()] { raw->Run(); });
    return device;
}

UhidDevice::UhidDevice(UniqueFd fd, OutputHandler handler) : fd_(std::move(fd)), handler_(std::move(handler)) {}

UhidDevice::~UhidDevice() {
    uhid_event event{};
    event.type = UHID_DESTROY;
    Send(&event, sizeof(event.type));
    stop_.Set();
    if (thread_.joinable()) thread_.join();
}

bool UhidDevice::Send(const void* event, size_t length) {
    std::lock_guard lock(writeMutex_);
    for (;;) {
        const ssize_t n = ::write(fd_.Get(), event, length);
        if (n == static_cast<ssize_t>(length)) return true;
        if (n < 0 && errno == EINTR) continue;
        return false;
    }
}

bool UhidDevice::Input(std::span<const uint8_t> report) {
    if (report.empty() || report.size() > UHID_DATA_MAX) return false;
    auto event = std::make_unique<uhid_event>();
    event->type = UHID_INPUT2;
    event->u.input2.size = static_cast<__u16>(report.size());
    std::memcpy(event->u.input2.data, report.data(), report.size());
    return Send(event.get(), kInputHeader + report.size());
}

void UhidDevice::Run() {
    auto event = std::make_unique<uhid_event>();
    for (;;) {
        pollfd fds[2] = {{fd_.Get(), POLLIN, 0}, {stop_.Fd(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents & POLLIN) return;
        if (!(fds[0].revents & POLLIN)) {
            if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return;
            continue;
        }
        const ssize_t n = ::read(fd_.Get(), event.get(), sizeof(uhid_event));
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return;
        HandleEvent(reinterpret_cast<const uint8_t*>(event.get()), static_cast<size_t>(n));
    }
}

void UhidDevice::HandleEvent(const uint8_t* raw, size_t length) {
    if (length < sizeof(__u32)) return;
    const auto* event = reinterpret_cast<const uhid_event*>(raw);
    switch (event->type) {
        case UHID_START: started_.Set(); break;
        case UHID_OUTPUT: {
            // Feature reports written through the output path are not part of the protocol.
            if (event->u.output.rtype != UHID_OUTPUT_REPORT) break;
            const size_t size = std::min<size_t>(event->u.output.size, UHID_DATA_MAX);
            ++outputs_;
            if (handler_) handler_(std::span<const uint8_t>(event->u.output.data, size));
            break;
        }
        case UHID_GET_REPORT: {
            // The devices have no feature reports: refuse at once instead of letting the
            // caller's ioctl wait for the kernel's time-out.
            uhid_event reply{};
            reply.type = UHID_GET_REPORT_REPLY;
            reply.u.get_report_reply.id = event->u.get_report.id;
            reply.u.get_report_reply.err = EIO;
            Send(&reply, sizeof(reply));
            break;
        }
        case UHID_SET_REPORT: {
            uhid_event reply{};
            reply.type = UHID_SET_REPORT_REPLY;
            reply.u.set_report_reply.id = event->u.set_report.id;
            reply.u.set_report_reply.err = EIO;
            Send(&reply, sizeof(reply));
            break;
        }
        default: break;  // stop, open, close: nothing to do
    }
}

}  // namespace q208::sim
