#include "device/CDetectionThread.h"

#include <atomic>

#include "platform/Trace.h"

namespace q208 {

struct CDetectionThread::Context {
    Context(std::shared_ptr<DeviceSlotList> s, std::shared_ptr<IDetectionHost> h, std::shared_ptr<IHidBus> bus)
        : slots(std::move(s)), host(std::move(h)), device(std::move(bus)) {}

    void Run(const Event& stop);
    // False when the bus could not be enumerated.
    bool Pass(const Event& stop);
    bool Scan(const Event& stop);
    void TakeIfSupported(const char* path, const Event& stop);
    void CheckRemovals(const Event& stop);

    std::shared_ptr<DeviceSlotList> slots;
    std::shared_ptr<IDetectionHost> host;
    CHidDevice device;  // this thread's own; never a device object's channel
    bool firstPass = true;
    std::atomic<bool> busy{false};  // a worker or RunPass uses the device
    Event neverStop;                // the stop event of RunPass
};

void CDetectionThread::Context::Run(const Event& stop) {
    firstPass = true;
    // One wait a pass: the pause between passes watches the stop event, so a stop is seen
    // at once without a wake of its own.
    while (!stop.IsSet()) {
        if (!Pass(stop)) {
            Trace("detection: the HID bus cannot be enumerated; detection ends");
            busy = false;
            return;
        }
        stop.Wait(kPassIntervalMs);
    }
    Trace("抓取设备线程设定退出");
    busy = false;
}

bool CDetectionThread::Context::Pass(const Event& stop) {
    if (!slots->AllSlotsTaken() && !Scan(stop)) return false;
    CheckRemovals(stop);
    return true;
}

bool CDetectionThread::Context::Scan(const Event& stop) {
    if (!device.EnumeratePaths()) return false;
    while (const char* path = device.NextPath()) {
        if (stop.IsSet()) break;
        TakeIfSupported(path, stop);
    }
    if (firstPass && !stop.IsSet()) {
        host->PostFirstPassDone();
        firstPass = false;
    }
    device.FreePaths();
    return true;
}

void CDetectionThread::Context::TakeIfSupported(const char* path, const Event& stop) {
    // Paths are filtered on the numbers they carry before anything is opened.
    InterfaceCandidate candidate = SupportedInterfaceMatcher::FromPath(path);
    if (!slots->QuickMatch(candidate)) return;
    // Opened as the device object will open it: a node the user may read but not write
    // would take a slot that can never be used, and would not be asked for again.
    if (!device.Open(candidate.path, true, true, true, false)) return;
    SupportedInterfaceMatcher::CompleteFrom(device, candidate);
    if (const std::optional<size_t> slot = slots->FullMatch(candidate)) {
        // A receiver slot stays taken but is not watched until the receiver reports a
        // linked keyboard or mouse.
        if (candidate.kind == kKindReceiver) slots->SetConnected(*slot, false);
        host->SendArrival(*slot, stop);
    }
    device.Close();
}

void CDetectionThread::Context::CheckRemovals(const Event& stop) {
    for (const DeviceSlotList::WatchedSlot& watched : slots->WatchedSlots()) {
        if (stop.IsSet()) return;
        if (device.PathExists(watched.path)) continue;
        bool wasConnected = false;
        if (!slots->Release(watched.index, watched.path, &wasConnected)) continue;
        if (wasConnected) {
            host->SendRemoval(watched.index, stop);
        } else {
            // Nothing was attached through an unwatched receiver slot, so there is nothing
            // to detach; freeing the slot lets the receiver be found again when it returns.
            Trace("detection: unwatched receiver slot %zu freed, its path is gone", watched.index);
        }
    }
}

CDetectionThread::CDetectionThread(std::shared_ptr<DeviceSlotList> slots, std::shared_ptr<IDetectionHost> host,
                                   std::shared_ptr<IHidBus> bus)
    : context_(std::make_shared<Context>(std::move(slots), std::move(host), std::move(bus))) {}

CDetectionThread::~CDetectionThread() { Stop(); }

bool CDetectionThread::Start() {
    if (context_->busy.exchange(true)) return false;
    if (!worker_.Start([context = context_](const Event& stop) { context->Run(stop); })) {
        context_->busy = false;
        return false;
    }
    return true;
}

WorkerThread::StopResult CDetectionThread::Stop(int timeoutMs) { return worker_.Stop(timeoutMs); }

bool CDetectionThread::IsRunning() const { return context_->busy.load(); }

bool CDetectionThread::RunPass() {
    if (context_->busy.exchange(true)) return false;
    const bool enumerated = context_->Pass(context_->neverStop);
    context_->busy = false;
    return enumerated;
}

}  // namespace q208
