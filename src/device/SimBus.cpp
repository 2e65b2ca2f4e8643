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

struct SimBus::Interface {
    struct QueuedReport {
        uint64_t dueAt = 0;
        size_t collection = 0;
        std::vector<uint8_t> bytes;
    };

    int id = 0;
    InterfaceInfo info;
    std::shared_ptr<const HidReportDescriptor> descriptor;
    std::vector<std::string> paths;
    std::shared_ptr<const OutputHandler> handler;

    std::mutex mutex;  // guards everything below
    bool unplugged = false;
    std::deque<QueuedReport> queue;
    std::vector<Handle*> handles;
};

class SimBus::Handle : public IHidHandle {
public:
    Handle(std::shared_ptr<Interface> itf, size_t collection)
        : itf_(std::move(itf)), collection_(collection) {
        std::lock_guard lock(itf_->mutex);
        itf_->handles.push_back(this);
    }

    ~Handle() override {
        std::lock_guard lock(itf_->mutex);
        auto& handles = itf_->handles;
        handles.erase(std::remove(handles.begin(), handles.end(), this), handles.end());
    }

    size_t Collection() const { return collection_; }
    void Wake() { wake_.Set(); }

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

    void Flush() override {
        const uint64_t now = TickCount64();
        std::lock_guard lock(itf_->mutex);
        auto& queue = itf_->queue;
        queue.erase(std::remove_if(queue.begin(), queue.end(),
                                   [&](const Interface::QueuedReport& r) {
                                       return r.collection == collection_ && r.dueAt <= now;
                                   }),
                    queue.end());
    }

private:
    // Bytes stored, -1 when unplugged, 0 when nothing of ours is due (then *nextDue says
    // when a delayed report of ours becomes due).
    int TakeReport(uint8_t* buf, size_t len, uint64_t* nextDue) {
        std::lock_guard lock(itf_->mutex);
        if (itf_->unplugged) return kHidIoFailed;
        wake_.Reset();  // under the lock: a report queued after this check sets it again
        const uint64_t now = TickCount64();
        auto& queue = itf_->queue;
        for (auto it = queue.begin(); it != queue.end(); ++it) {
            if (it->collection != collection_) continue;
            if (it->dueAt > now) {
                *nextDue = std::min(*nextDue, it->dueAt);
                continue;
            }
            const int stored = CopyOut(it->bytes, buf, len);
            queue.erase(it);
            return stored;
        }
        return 0;
    }

    int CopyOut(const std::vector<uint8_t>& report, uint8_t* buf, size_t len) const {
        const size_t copied = std::min(report.size(), len);
        std::memcpy(buf, report.data(), copied);
        const size_t inputLength =
            itf_->descriptor->Collections()[collection_].ReportByteLength(HidReportType::Input);
        const size_t padded = std::min(len, inputLength);
        if (copied >= padded) return static_cast<int>(copied);
        std::memset(buf + copied, 0, padded - copied);
        return static_cast<int>(padded);
    }

    std::shared_ptr<Interface> itf_;
    size_t collection_;
    Event wake_{Event::ResetMode::Manual};
};

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
    itf->queue.clear();
    for (Handle* handle : itf->handles) handle->Wake();
}

bool SimBus::QueueInput(int id, std::span<const uint8_t> report, int delayMs) {
    if (report.empty()) return false;
    const std::shared_ptr<Interface> itf = Find(id);
    if (!itf) return false;
    const int collection = itf->descriptor->CollectionOfInputReport(report[0]);
    if (collection < 0) return false;
    std::lock_guard lock(itf->mutex);
    if (itf->unplugged) return false;
    itf->queue.push_back(Interface::QueuedReport{
        TickCount64() + static_cast<uint64_t>(std::max(delayMs, 0)),
        static_cast<size_t>(collection), std::vector<uint8_t>(report.begin(), report.end())});
    for (Handle* handle : itf->handles) {
        if (handle->Collection() == static_cast<size_t>(collection)) handle->Wake();
    }
    return true;
}

std::vector<std::string> SimBus::PathsOf(int id) const {
    const std::shared_ptr<Interface> itf = Find(id);
    return itf ? itf->paths : std::vector<std::string>{};
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
