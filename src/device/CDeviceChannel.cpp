#include "device/CDeviceChannel.h"

#include <algorithm>

#include "device/CommandReport.h"
#include "device/DeviceResult.h"
#include "platform/TickCount.h"

namespace q208 {
namespace {

// Answers to other commands that a transaction may read before it gives up waiting.
constexpr int kMaxReadsPerTransaction = 2;
// Byte 3 of an input report that is no answer: the device's own event reports (key
// presses, entry changes) leave it 0, and they share the vendor collection with answers.
constexpr uint8_t kEventEcho = 0;

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
    const PathTiming timing = receiver ? PathTiming{kReceiverTimeoutMs, kReceiverTimeoutMs, kEchoUnreachable}
                                       : PathTiming{kWiredTimeoutMs, kWiredTimeoutMs, 0};
    return TransactOn(timing, request, requestLength, answer, answerLength, bytesRead);
}

int CDeviceChannel::TransactFast(const uint8_t* request, size_t requestLength, uint8_t* answer,
                                 size_t answerLength, uint32_t* bytesRead) {
    const bool receiver = ViaReceiver();
    const PathTiming timing = receiver ? PathTiming{kFastTimeoutMs, kFastTimeoutMs, kEchoUnreachableFast}
                                       : PathTiming{kWiredTimeoutMs, kWiredTimeoutMs, 0};
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

    // The I/O lock spans the drain, the write and its reads: a light chunk (light lock) and
    // a command (command lock) may run at once, and neither may take the other's answer.
    // Callers hold their command or light lock already; nothing here takes one after it.
    LockGuard io(ioLock_);
    CHidDevice& device = receiver ? receiver_ : wired_;
    if (receiver) {
        // The target is written after the sender computed the checksum.
        out[report::kTarget] = static_cast<uint8_t>(target_.load() & 0xFF);
    }
    // Every handle of the interface gets a copy of each of its input reports, so key events
    // meant for a listener and late answers pile up here between transactions. Dropped
    // before the write (a flush never blocks): otherwise they are taken for the answer, and
    // once the ring is full the answer itself is dropped.
    device.FlushQueue();
    Observe(true, out.data(), out.size());
    uint32_t sent = 0;
    if (device.WriteReport(out.data(), kReportSize, &sent, timing.writeTimeoutMs) <= 0) return kResultWriteFailed;
    return ReadAnswer(device, timing, out[report::kCommand], answer, answerLength, bytesRead);
}

int CDeviceChannel::ReadAnswer(CHidDevice& device, const PathTiming& timing, uint8_t command, uint8_t* answer,
                               size_t answerLength, uint32_t* bytesRead) {
    const bool receiver = ViaReceiver();
    int result = kResultNoAnswer;
    for (int read = 0; read < kMaxReadsPerTransaction; ++read) {
        // An event report does not use up one of the reads: it waits on within the time the
        // read had left, so a burst of typing cannot push the answer out of the window.
        const uint64_t deadline = TickCount64() + static_cast<uint64_t>(timing.readTimeoutMs);
        uint8_t echo = kEventEcho;
        do {
            const uint64_t now = TickCount64();
            const auto left = static_cast<uint32_t>(deadline > now ? deadline - now : 0);
            uint32_t got = 0;
            result = device.ReadReport(answer, static_cast<uint32_t>(answerLength), &got, left);
            if (bytesRead) *bytesRead = got;
            if (result <= 0) return kResultNoAnswer;
            Observe(false, answer, got);
            if (answerLength <= report::kCommand) return result;
            echo = answer[report::kCommand];
        } while (echo == kEventEcho && command != kEventEcho);
        if (echo == command) return result;
        if (receiver && echo == timing.unreachableEcho) return kResultUnreachable;
    }
    return result;
}

}  // namespace q208
