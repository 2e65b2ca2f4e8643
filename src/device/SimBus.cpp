#include "device/SimBus.h"

#include <algorithm>
#include <cstring>
#include <deque>

#include "device/HidPath.h"
#include "device/HidReportDescriptor.h"
#include "platform/Event.h"
#include "platform/TickCount.h"
#include "platform/Trace.h"

namespace q208 {

namespace {

// Like a hidraw node, each open handle keeps at most this many unread reports; a report
// that finds the ring full is dropped, and the older ones stay.
constexpr size_t kRingReports = SimBus::kHandleRingReports;

}  // namespace

struct SimBus::Interface {
    // A report on its way: it reaches the handles that are open when it becomes due.
    struct InFlight {
        uint64_t dueAt = 0;
        size_t collection = 0;
        std::vector<uint8_t> bytes;
    };

    int id = 0;
    InterfaceInfo info;
    std::shared_ptr<const HidReportDescriptor> descriptor;
    std::vector<std::string> paths;
    std::shared_ptr<const OutputHandler> handler;

    std::mutex mutex;  // guards everything below and every handle's ring
    bool unplugged = false;
    std::deque<InFlight> inFlight;  // by due time; reports due at the same time in queue order
    std::vector<Handle*> handles;

    // Hands every report that is due to every open handle, in due order. Lock held.
    void DeliverDue(uint64_t now);
    // When the next report on its way becomes due; UINT64_MAX when none. Lock held.
    uint64_t NextDue() const { return inFlight.empty() ? UINT64_MAX : inFlight.front().dueAt; }
};

class SimBus::Handle : public IHidHandle {
public:
    struct Queued {
        size_t collection = 0;
        std::vector<uint8_t> bytes;
    };

    // Every collection's reports, for a handle on the whole interface.
    static constexpr size_t kAllCollections = SIZE_MAX;

    Handle(std::shared_ptr<Interface> itf, size_t collection, size_t ringReports = kRingReports)
        : itf_(std::move(itf)), collection_(collection), ringReports_(ringReports) {
        std::lock_guard lock(itf_->mutex);
        // Reports that arrived before the open are not this handle's.
        itf_->DeliverDue(TickCount64());
        itf_->handles.push_back(this);
    }

    ~Handle() override {
        std::lock_guard lock(itf_->mutex);
        auto& handles = itf_->handles;
        handles.erase(std::remove(handles.begin(), handles.end(), this), handles.end());
    }

    void Wake() { wake_.Set(); }

    // Interface lock held. A full ring keeps what it has, as the kernel does.
    void Deliver(const Interface::InFlight& report) {
        if (ring_.size() >= ringReports_) return;
        ring_.push_back(Queued{report.collection, report.bytes});
        wake_.Set();
    }

    int Read(uint8_t* buf, size_t len, int timeoutMs, const Event* abort) override {
        if (buf == nullptr || len == 0) return kHidIoFailed;
        const bool forever = timeoutMs < 0;
        const uint64_t deadline = TickCount64() + static_cast<uint64_t>(std::max(timeoutMs, 0));
        for (;;) {
            uint64_t nextDue = UINT64_MAX;
            const int taken = TakeReport(buf, len, &nextDue);
            if (taken != 0) return taken;
            const uint64_t now = TickCount64();
            if (!forever && now >= deadline) return kHidIoTimeout;
            uint64_t until = forever ? nextDue : std::min(deadline, nextDue);
            const int waitMs = until == UINT64_MAX ? -1 : static_cast<int>(until > now ? until - now : 0);
            const Event* events[2] = {&wake_, abort};
            if (Event::WaitAny(std::span<const Event* const>(events, abort ? 2 : 1), waitMs) == 1) {
                return kHidIoAborted;
            }
        }
    }

    int Write(const uint8_t* buf, size_t len, int /*timeoutMs*/, const Event* /*abort*/) override {
        if (buf == nullptr || len == 0) return kHidIoFailed;
        std::shared_ptr<const OutputHandler> handler;
        {
            std::lock_guard lock(itf_->mutex);
            if (itf_->unplugged) return kHidIoFailed;
            handler = itf_->handler;
        }
        if (handler && *handler) (*handler)(itf_->id, std::span<const uint8_t>(buf, len));
        return static_cast<int>(len);
    }

    // Empties this handle's ring only; other handles of the interface keep their copies,
    // and reports still on their way arrive later.
    void Flush() override {
        std::lock_guard lock(itf_->mutex);
        itf_->DeliverDue(TickCount64());
        ring_.clear();
    }

private:
    // Bytes stored, -1 when unplugged and nothing is left, 0 when nothing of ours is queued (then *nextDue says
    // when a report on its way becomes due). Reports of the interface's other collections
    // are taken off the ring and dropped, as a hidraw read of another collection's report is.
    int TakeReport(uint8_t* buf, size_t len, uint64_t* nextDue) {
        std::lock_guard lock(itf_->mutex);
        wake_.Reset();  // under the lock: a report delivered after this check sets it again
        itf_->DeliverDue(TickCount64());
        // A hidraw node that went away still hands out the reports it holds, and fails only
        // once it holds none: an answer that came in just before an unplug is read.
        while (!ring_.empty()) {
            Queued report = std::move(ring_.front());
            ring_.pop_front();
            if (collection_ == kAllCollections) return CopyOut(report.bytes, report.collection, buf, len);
            if (report.collection == collection_) return CopyOut(report.bytes, collection_, buf, len);
        }
        if (itf_->unplugged) return kHidIoFailed;
        *nextDue = itf_->NextDue();
        return 0;
    }

    int CopyOut(const std::vector<uint8_t>& report, size_t collection, uint8_t* buf, size_t len) const {
        const size_t copied = std::min(report.size(), len);
        std::memcpy(buf, report.data(), copied);
        const size_t inputLength =
            itf_->descriptor->Collections()[collection].ReportByteLength(HidReportType::Input);
        const size_t padded = std::min(len, inputLength);
        if (copied >= padded) return static_cast<int>(copied);
        std::memset(buf + copied, 0, padded - copied);
        return static_cast<int>(padded);
    }

    std::shared_ptr<Interface> itf_;
    size_t collection_;
    size_t ringReports_;
    std::deque<Queued> ring_;  // guarded by the interface's lock
    Event wake_{Event::ResetMode::Manual};
};

void SimBus::Interface::DeliverDue(uint64_t now) {
    while (!inFlight.empty() && inFlight.front().dueAt <= now) {
        for (Handle* handle : handles) handle->Deliver(inFlight.front());
        inFlight.pop_front();
    }
}

SimBus::SimBus() = default;

SimBus::~SimBus() {
    std::vector<int> ids;
    {
        std::lock_guard lock(mutex_);
        for (const auto& entry : interfaces_) ids.push_back(entry.first);
    }
    for (int id : ids) Unplug(id);
}

int SimBus::Plug(InterfaceInfo info, OutputHandler handler) {
    std::string error;
    auto parsed = HidReportDescriptor::Parse(info.reportDescriptor, &error);
    if (!parsed) {
        Trace("sim bus: interface %04x:%04x not plugged: %s", info.vendorId, info.productId, error.c_str());
        return -1;
    }
    auto itf = std::make_shared<Interface>();
    itf->descriptor = std::make_shared<const HidReportDescriptor>(std::move(*parsed));
    itf->handler = std::make_shared<const OutputHandler>(std::move(handler));
    itf->info = std::move(info);
    std::lock_guard lock(mutex_);
    itf->id = nextId_++;
    const size_t count = itf->descriptor->Collections().size();
    for (size_t i = 0; i < count; ++i) {
        itf->paths.push_back(HidPath::Make("sim:" + std::to_string(itf->id), itf->info.vendorId,
                                           itf->info.productId, itf->info.interfaceNumber,
                                           count > 1 ? static_cast<int>(i + 1) : 0));
    }
    interfaces_[itf->id] = itf;
    return itf->id;
}

void SimBus::Unplug(int id) {
    std::shared_ptr<Interface> itf;
    {
        std::lock_guard lock(mutex_);
        auto it = interfaces_.find(id);
        if (it == interfaces_.end()) return;
        itf = std::move(it->second);
        interfaces_.erase(it);
    }
    std::lock_guard lock(itf->mutex);
    itf->unplugged = true;
    itf->inFlight.clear();
    for (Handle* handle : itf->handles) handle->Wake();
}

bool SimBus::QueueInput(int id, std::span<const uint8_t> report, int delayMs) {
    if (report.empty()) return false;
    const std::shared_ptr<Interface> itf = Find(id);
    if (!itf) return false;
    const int collection = itf->descriptor->CollectionOfInputReport(report[0]);
    if (collection < 0) return false;
    const uint64_t now = TickCount64();
    const uint64_t dueAt = now + static_cast<uint64_t>(std::max(delayMs, 0));
    std::lock_guard lock(itf->mutex);
    if (itf->unplugged) return false;
    auto& inFlight = itf->inFlight;
    const auto at = std::upper_bound(inFlight.begin(), inFlight.end(), dueAt,
                                     [](uint64_t due, const Interface::InFlight& r) { return due < r.dueAt; });
    inFlight.insert(at, Interface::InFlight{dueAt, static_cast<size_t>(collection),
                                            std::vector<uint8_t>(report.begin(), report.end())});
    itf->DeliverDue(now);
    // A reader waiting for a later report learns of an earlier due time.
    for (Handle* handle : itf->handles) handle->Wake();
    return true;
}

std::vector<std::string> SimBus::PathsOf(int id) const {
    const std::shared_ptr<Interface> itf = Find(id);
    return itf ? itf->paths : std::vector<std::string>{};
}

std::vector<int> SimBus::InterfaceIds() const {
    std::lock_guard lock(mutex_);
    std::vector<int> ids;
    for (const auto& entry : interfaces_) ids.push_back(entry.first);
    return ids;
}

bool SimBus::Info(int id, InterfaceInfo& out) const {
    const std::shared_ptr<Interface> itf = Find(id);
    if (!itf) return false;
    out = itf->info;
    return true;
}

std::unique_ptr<IHidHandle> SimBus::OpenInterface(int id, size_t ringReports) {
    std::shared_ptr<Interface> itf = Find(id);
    if (!itf) return nullptr;
    return std::make_unique<Handle>(std::move(itf), Handle::kAllCollections, ringReports);
}

std::shared_ptr<SimBus::Interface> SimBus::Find(int id) const {
    std::lock_guard lock(mutex_);
    auto it = interfaces_.find(id);
    return it == interfaces_.end() ? nullptr : it->second;
}

std::shared_ptr<SimBus::Interface> SimBus::FindByPath(const std::string& path) const {
    const std::string_view node = HidPath::Node(path);
    constexpr std::string_view kPrefix = "sim:";
    if (node.size() <= kPrefix.size() || node.substr(0, kPrefix.size()) != kPrefix) return nullptr;
    int id = 0;
    for (char c : node.substr(kPrefix.size())) {
        if (c < '0' || c > '9' || id > 10000000) return nullptr;
        id = id * 10 + (c - '0');
    }
    std::shared_ptr<Interface> itf = Find(id);
    if (!itf || std::find(itf->paths.begin(), itf->paths.end(), path) == itf->paths.end()) return nullptr;
    return itf;
}

std::vector<std::string> SimBus::EnumeratePaths() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> paths;
    for (const auto& entry : interfaces_) {
        paths.insert(paths.end(), entry.second->paths.begin(), entry.second->paths.end());
    }
    return paths;
}

bool SimBus::Exists(const std::string& path) { return FindByPath(path) != nullptr; }

std::unique_ptr<IHidHandle> SimBus::Open(const std::string& path, bool /*read*/, bool /*write*/) {
    std::shared_ptr<Interface> itf = FindByPath(path);
    if (!itf) return nullptr;
    return std::make_unique<Handle>(std::move(itf), HidPath::CollectionIndex(path));
}

std::vector<uint8_t> SimBus::ReportDescriptor(const std::string& path) {
    const std::shared_ptr<Interface> itf = FindByPath(path);
    return itf ? itf->info.reportDescriptor : std::vector<uint8_t>{};
}

bool SimBus::Attributes(const std::string& path, HidAttributes& out) {
    const std::shared_ptr<Interface> itf = FindByPath(path);
    if (!itf) return false;
    out = HidAttributes{itf->info.vendorId, itf->info.productId, itf->info.version};
    return true;
}

}  // namespace q208
