#include "device/CDeviceChannel.h"

#include <algorithm>

#include "device/CommandReport.h"
#include "device/DeviceResult.h"

namespace q208 {
namespace {

constexpr int kMaxReadsPerTransaction = 2;

// Busy for the lifetime of one transaction, whatever path it leaves by. A count, since a
// light chunk and a command may be under way at the same time.
class BusyScope {
public:
    explicit BusyScope(std::atomic<int>& busy) : busy_(busy) { ++busy_; }
    ~BusyScope() { --busy_; }

private:
    std::atomic<int>& busy_;
};

}  // namespace

CDeviceChannel::CDeviceChannel(std::shared_ptr<IHidBus> bus) : wired_(bus), receiver_(bus) {}

CDeviceChannel::~CDeviceChannel() {
    open_ = 0;
    CloseAll();
}

bool CDeviceChannel::SetDataSize(uint32_t size) {
    const auto n = static_cast<uint16_t>(size);
    if (n > kMaxDataSize) return false;
    dataSize_ = n;
    return true;
}

void CDeviceChannel::SetLinkType(int type) {
    const bool receiver = type == kLinkReceiver;
    viaReceiver_ = receiver ? 1 : 0;
    chunkSize_ = receiver ? kReceiverChunk : kWiredChunk;
}

bool CDeviceChannel::OpenPath(const std::string& path, int linkType, uint32_t target) {
    LockGuard io(ioLock_);
    CHidDevice& device = linkType == kLinkReceiver ? receiver_ : wired_;
    if (!device.Open(path, true, true, true, false)) return false;
    SetLinkType(linkType);
    SetTarget(target);
    open_ = 1;
    return true;
}

void CDeviceChannel::CloseAll() {
    LockGuard io(ioLock_);
    open_ = 0;
    wired_.Close();
    receiver_.Close();
}

void CDeviceChannel::SetTrafficObserver(TrafficObserver observer) {
    LockGuard io(ioLock_);
    observer_ = std::move(observer);
}

void CDeviceChannel::Observe(bool sent, const uint8_t* data, size_t length) {
    if (observer_) observer_(sent, std::span<const uint8_t>(data, length));
}

int CDeviceChannel::Transact(const uint8_t* request, size_t requestLength, uint8_t* answer, size_t answerLength,
                             uint32_t* bytesRead) {
    const bool receiver = ViaReceiver();
    const PathTiming timing = receiver ? PathTiming{kReceiverTimeoutMs, kReceiverTimeoutMs, true, kEchoUnreachable}
                                       : PathTiming{kWiredTimeoutMs, kWiredTimeoutMs, false, 0};
    return TransactOn(timing, request, requestLength, answer, answerLength, bytesRead);
}

int CDeviceChannel::TransactFast(const uint8_t* request, size_t requestLength, uint8_t* answer,
                                 size_t answerLength, uint32_t* bytesRead) {
    const bool receiver = ViaReceiver();
    const PathTiming timing = receiver ? PathTiming{kFastTimeoutMs, kFastTimeoutMs, false, kEchoUnreachableFast}
                                       : PathTiming{kWiredTimeoutMs, kWiredTimeoutMs, false, 0};
    return TransactOn(timing, request, requestLength, answer, answerLength, bytesRead);
}

int CDeviceChannel::TransactOn(const PathTiming& timing, const uint8_t* request, size_t requestLength,
                               uint8_t* answer, size_t answerLength, uint32_t* bytesRead) {
    BusyScope busy(busy_);
    if (bytesRead) *bytesRead = 0;
    if (!open_.load()) return kResultNoAnswer;

    Report out{};
    std::copy_n(request, std::min(requestLength, kReportSize), out.begin());
    const bool receiver = ViaReceiver();

    // The I/O lock spans the write and its reads: a light chunk (light lock) and a command
    // (command lock) may run at once, and neither may take the other's answer.
    LockGuard io(ioLock_);
    CHidDevice& device = receiver ? receiver_ : wired_;
    if (receiver) {
        // The target is written after the sender computed the checksum.
        out[report::kTarget] = static_cast<uint8_t>(target_.load() & 0xFF);
        if (timing.flush) device.FlushQueue();
    }
    Observe(true, out.data(), out.size());
    uint32_t sent = 0;
    if (device.WriteReport(out.data(), kReportSize, &sent, timing.writeTimeoutMs) <= 0) return kResultWriteFailed;

    int result = kResultNoAnswer;
    for (int read = 0; read < kMaxReadsPerTransaction; ++read) {
        uint32_t got = 0;
        result = device.ReadReport(answer, static_cast<uint32_t>(answerLength), &got, timing.readTimeoutMs);
        if (bytesRead) *bytesRead = got;
        if (result <= 0) return kResultNoAnswer;
        Observe(false, answer, got);
        if (answerLength <= report::kCommand) break;
        const uint8_t echo = answer[report::kCommand];
        if (echo == out[report::kCommand]) return result;
        if (receiver && echo == timing.unreachableEcho) return kResultUnreachable;
    }
    return result;
}

}  // namespace q208
