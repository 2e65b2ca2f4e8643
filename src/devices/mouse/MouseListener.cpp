#include "devices/mouse/MouseListener.h"

#include "platform/Trace.h"

namespace q208 {
namespace {

constexpr uint32_t kWaitForever = 0xFFFFFFFF;
constexpr uint16_t kHighByte = 0xFF00;
constexpr uint16_t kBlockMask = 0x000F;
constexpr int kStageShift = 4;
// Answers to commands arrive on the same interface with the command echo in byte 3, which
// an event report leaves 0.
constexpr size_t kEchoByte = 3;

}  // namespace

struct MouseListener::Path {
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

std::optional<MouseListener::BlockChange> MouseListener::DecodeBlockChange(uint16_t event) {
    const uint16_t high = event & kHighByte;
    if (event <= kResyncAdded || (high != kBlockChange && high != kBlockAndStageChange)) return std::nullopt;
    BlockChange change;
    change.block = static_cast<uint8_t>(event & kBlockMask);
    if (high == kBlockAndStageChange) change.activeStage = static_cast<uint8_t>((event >> kStageShift) & kBlockMask);
    return change;
}

MouseListener::MouseListener(CDeviceChannel& listenerChannel, Handlers handlers)
    : channel_(listenerChannel), handlers_(std::move(handlers)) {
    wired_ = std::make_unique<Path>(
        kWiredKind, channel_.WiredDevice(), channel_.IoLock(), [this](bool on) { channel_.SetOpen(on); },
        [this] { return channel_.IsOpen() != 0; }, "ms-listen-wired");
    receiver_ = std::make_unique<Path>(
        kReceiverKind, channel_.ReceiverDevice(), channel_.ListenerLock(),
        [this](bool on) { channel_.SetViaReceiver(on); }, [this] { return channel_.ViaReceiver(); },
        "ms-listen-receiver");
}

MouseListener::~MouseListener() {
    Detach(kWiredKind);
    Detach(kReceiverKind);
}

MouseListener::Path* MouseListener::PathOf(int kind) const {
    return kind == kWiredKind ? wired_.get() : kind == kReceiverKind ? receiver_.get() : nullptr;
}

bool MouseListener::IsAttached(int kind) const {
    const Path* path = PathOf(kind);
    return path && path->flag();
}

bool MouseListener::Attach(const std::string& devicePath, int kind) {
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

void MouseListener::Detach(int kind) {
    Path* path = PathOf(kind);
    if (!path || !path->flag()) return;
    {
        LockGuard lock(path->lock);
        path->setFlag(false);
        path->device.Close();
    }
    // The thread reads members of this listener: it is waited for, never left behind.
    if (path->thread.Stop(kStopTimeoutMs, WorkerThread::AfterTimeOut::Join) == WorkerThread::StopResult::TimedOut)
        Trace("mouse: a listener took longer than %d ms to stop\n", kStopTimeoutMs);
}

std::optional<uint16_t> MouseListener::ReadEvent(Path& path, std::vector<uint8_t>& report, std::vector<HidData>& data) {
    uint32_t read = 0;
    if (!path.device.ReadReport(report.data(), static_cast<uint32_t>(report.size()), &read, kWaitForever) || read == 0)
        return std::nullopt;
    if (read > kEchoByte && report[kEchoByte] != 0) return std::nullopt;
    LockGuard lock(path.lock);  // Close frees the parsed collection under this lock
    if (!path.flag() || !path.device.IsOpen() || data.empty()) return std::nullopt;
    if (!CHidDevice::UnpackInputReport(report.data(), read, data.data(), static_cast<uint32_t>(data.size()),
                                       path.device.PreparsedData()))
        return std::nullopt;
    const HidData& first = data.front();
    if (first.isButtonData) return first.usages.empty() ? std::nullopt : std::optional<uint16_t>(first.usages.front());
    return static_cast<uint16_t>(first.value);
}

void MouseListener::Listen(Path& path, const Event& stop) {
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
        if (const auto event = ReadEvent(path, report, data); event && !stop.IsSet()) Dispatch(*event, path.kind);
    }
    Trace("MS 设备同步线程设定退出");
}

void MouseListener::Dispatch(uint16_t event, int kind) {
    if (event == kResync || event == kResyncAdded) {
        Trace("接收到自动添加设备的同步信息要求");
        if (handlers_.resync) handlers_.resync();
        return;
    }
    if (event == kClick) {
        if (kind == kReceiverKind && handlers_.click) handlers_.click();
        return;
    }
    if (const auto change = DecodeBlockChange(event); change && handlers_.block) handlers_.block(*change);
}

}  // namespace q208
