#include "devices/base/VendorEventListener.h"

#include "platform/Trace.h"

namespace q208 {
namespace {

constexpr uint32_t kWaitForever = 0xFFFFFFFF;
// Answers to commands arrive on the same interface; they carry the command echo in byte 3,
// which an event report leaves 0. Their first field is a checksum, not an event.
constexpr size_t kEchoByte = 3;

}  // namespace

// One path: the channel's device of that kind, the lock its open and close go under, and
// the flag that tells the device is open for listening.
struct VendorEventListener::Path {
    Path(int k, CHidDevice& d, RecursiveLock& l, std::function<void(bool)> set, std::function<bool()> get,
         const char* name)
        : kind(k), device(d), lock(l), setFlag(std::move(set)), flag(std::move(get)), thread(name) {}
    int kind;
    CHidDevice& device;
    RecursiveLock& lock;
    std::function<void(bool)> setFlag;
    std::function<bool()> flag;
    WorkerThread thread;
};

VendorEventListener::VendorEventListener(CDeviceChannel& listenerChannel, int receiverKind, Hooks hooks)
    : channel_(listenerChannel), hooks_(std::move(hooks)) {
    wired_ = std::make_unique<Path>(
        kWiredKind, channel_.WiredDevice(), channel_.IoLock(), [this](bool on) { channel_.SetOpen(on); },
        [this] { return channel_.IsOpen() != 0; }, hooks_.wiredThreadName);
    receiver_ = std::make_unique<Path>(
        receiverKind, channel_.ReceiverDevice(), channel_.ListenerLock(),
        [this](bool on) { channel_.SetViaReceiver(on); }, [this] { return channel_.ViaReceiver(); },
        hooks_.receiverThreadName);
}

VendorEventListener::~VendorEventListener() {
    Detach(wired_->kind);
    Detach(receiver_->kind);
}

VendorEventListener::Path* VendorEventListener::PathOf(int kind) const {
    return kind == wired_->kind ? wired_.get() : kind == receiver_->kind ? receiver_.get() : nullptr;
}

bool VendorEventListener::IsAttached(int kind) const {
    const Path* path = PathOf(kind);
    return path && path->flag();
}

bool VendorEventListener::Attach(const std::string& devicePath, int kind) {
    Path* path = PathOf(kind);
    if (!path) return false;
    Detach(kind);
    {
        LockGuard lock(path->lock);
        path->device.Close();
        if (!path->device.Open(devicePath, true, true, true, false)) return false;
        path->setFlag(true);
    }
    return path->thread.Start([this, path](const Event& stop) { Listen(*path, stop); });
}

void VendorEventListener::Detach(int kind) {
    Path* path = PathOf(kind);
    if (!path || !path->flag()) return;
    {
        // Closing wakes the read the thread waits in without a time-out.
        LockGuard lock(path->lock);
        path->setFlag(false);
        path->device.Close();
    }
    // The thread reads members of this listener: once woken it is waited for, never left behind.
    const auto result = path->thread.Stop(kStopTimeoutMs, WorkerThread::AfterTimeOut::Join);
    if (hooks_.stopped) hooks_.stopped(result);
}

std::optional<uint16_t> VendorEventListener::ReadEvent(Path& path, std::vector<uint8_t>& report,
                                                       std::vector<HidData>& data) {
    uint32_t read = 0;
    if (!path.device.ReadReport(report.data(), static_cast<uint32_t>(report.size()), &read, kWaitForever) ||
        read == 0) {
        return std::nullopt;
    }
    if (read > kEchoByte && report[kEchoByte] != 0) return std::nullopt;
    // Close frees the parsed collection under this lock, so unpacking holds it.
    LockGuard lock(path.lock);
    if (!path.flag() || !path.device.IsOpen() || data.empty()) return std::nullopt;
    if (!CHidDevice::UnpackInputReport(report.data(), read, data.data(), static_cast<uint32_t>(data.size()),
                                       path.device.PreparsedData())) {
        return std::nullopt;
    }
    const HidData& first = data.front();
    if (first.isButtonData) return first.usages.empty() ? std::nullopt : std::optional<uint16_t>(first.usages.front());
    return static_cast<uint16_t>(first.value);
}

void VendorEventListener::Listen(Path& path, const Event& stop) {
    std::vector<uint8_t> report;
    std::vector<HidData> data;
    {
        LockGuard lock(path.lock);
        report = path.device.Input().buffer;
        data = path.device.Input().data;
    }
    while (!stop.Wait(1)) {
        if (!path.flag() || report.empty()) {
            stop.Wait(100);
            continue;
        }
        if (const auto event = ReadEvent(path, report, data); event && !stop.IsSet() && hooks_.event)
            hooks_.event(*event, path.kind);
    }
    Trace("MS 设备同步线程设定退出");
}

}  // namespace q208
