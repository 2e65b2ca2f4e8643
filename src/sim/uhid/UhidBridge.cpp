#include "sim/uhid/UhidBridge.h"

#include <dirent.h>
#include <linux/input.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "device/HidReportDescriptor.h"
#include "platform/Event.h"
#include "platform/Trace.h"

namespace q208::sim {
namespace {

// The kernel keeps its own ring per reader; this one only has to hold what arrives while
// the forwarding thread writes the previous report into the kernel.
constexpr size_t kTapRingReports = 4096;
constexpr int kStartTimeoutMs = 3000;
constexpr int kNodeTimeoutMs = 3000;
constexpr int kNodePollMs = 5;
// A USB device sends at most one report per interrupt interval of its endpoint, 1 ms at
// full speed. Without that pace a burst of emulated key events reaches the kernel faster
// than any device could send it, and fills a reader's ring before the reader wakes.
constexpr auto kReportInterval = std::chrono::microseconds(1000);

}  // namespace

// One bus interface and its kernel device: a handle on the whole interface whose reads the
// forwarding thread turns into input reports of the device.
struct UhidBridge::Link {
    std::unique_ptr<IHidHandle> tap;
    bool numbered = true;
    Event stop{Event::ResetMode::Manual};
    std::unique_ptr<UhidDevice> device;
    std::thread forward;

    ~Link() {
        stop.Set();
        if (forward.joinable()) forward.join();
        device.reset();  // destroys the kernel device
    }

    void Forward() {
        std::vector<uint8_t> report(HidReportDescriptor::kMaxReportBytes + 1);
        auto nextSlot = std::chrono::steady_clock::now();
        for (;;) {
            const int n = tap->Read(report.data(), report.size(), -1, &stop);
            if (n <= 0) return;  // stopped, or the interface left the bus
            // The bus hands reports over with a 0 in front when the device numbers none;
            // the kernel takes them as the device sends them.
            const size_t skip = numbered ? 0 : 1;
            if (static_cast<size_t>(n) <= skip) continue;
            std::this_thread::sleep_until(nextSlot);
            device->Input(std::span<const uint8_t>(report.data() + skip, static_cast<size_t>(n) - skip));
            nextSlot = std::chrono::steady_clock::now() + kReportInterval;
        }
    }
};

UhidBridge::UhidBridge(std::shared_ptr<SimBus> bus, std::string uhidNode, std::string sysfsRoot)
    : bus_(std::move(bus)), uhidNode_(std::move(uhidNode)), sysfsRoot_(std::move(sysfsRoot)) {}

bool UhidBridge::WaitForNode(const std::string& uniq, int timeoutMs) const {
    const std::string folder = sysfsRoot_ + "/class/hidraw";
    const std::string wanted = "HID_UNIQ=" + uniq;
    for (int waited = 0; waited <= timeoutMs; waited += kNodePollMs) {
        if (DIR* dir = ::opendir(folder.c_str())) {
            bool found = false;
            while (const dirent* entry = ::readdir(dir)) {
                if (entry->d_name[0] == '.') continue;
                std::ifstream uevent(folder + "/" + entry->d_name + "/device/uevent");
                for (std::string line; !found && std::getline(uevent, line);) found = line == wanted;
                if (found) break;
            }
            ::closedir(dir);
            if (found) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kNodePollMs));
    }
    return false;
}

UhidBridge::~UhidBridge() { Clear(); }

UhidIdentity UhidBridge::IdentityOf(int id, const SimBus::InterfaceInfo& info) {
    char name[64];
    std::snprintf(name, sizeof(name), "q208-uhid %04x:%04x", info.vendorId, info.productId);
    UhidIdentity identity;
    identity.name = name;
    identity.phys = "q208-uhid/sim" + std::to_string(id);
    if (info.interfaceNumber >= 0) identity.phys += "/input" + std::to_string(info.interfaceNumber);
    identity.uniq = "sim" + std::to_string(id);
    identity.bus = BUS_USB;
    identity.vendor = info.vendorId;
    identity.product = info.productId;
    identity.version = info.version;
    identity.reportDescriptor = info.reportDescriptor;
    return identity;
}

std::unique_ptr<UhidBridge::Link> UhidBridge::MakeLink(int id, std::string& error) {
    SimBus::InterfaceInfo info;
    if (!bus_->Info(id, info)) return nullptr;  // gone again already
    const auto descriptor = HidReportDescriptor::Parse(info.reportDescriptor, &error);
    if (!descriptor) return nullptr;
    auto link = std::make_unique<Link>();
    link->numbered = descriptor->UsesReportIds();
    link->tap = bus_->OpenInterface(id, kTapRingReports);
    if (!link->tap) return nullptr;
    IHidHandle* tap = link->tap.get();
    link->device = UhidDevice::Create(
        uhidNode_, IdentityOf(id, info),
        [this, tap](std::span<const uint8_t> report) {
            // The bus takes output reports in the layout hidraw writers use, id first.
            tap->Write(report.data(), report.size(), -1, nullptr);
            Answered();
        },
        error);
    if (!link->device) return nullptr;
    // The kernel starts the device, then binds hid-input and only then hidraw; a device made
    // before the last one has its node could overtake it in the node numbering.
    const UhidIdentity identity = IdentityOf(id, info);
    if (!link->device->WaitStarted(kStartTimeoutMs) || !WaitForNode(identity.uniq, kNodeTimeoutMs)) {
        error = "the kernel did not start " + identity.name + " (" + identity.uniq + ")";
        return nullptr;
    }
    link->forward = std::thread([raw = link.get()] { raw->Forward(); });
    return link;
}

bool UhidBridge::Sync(std::string& error) {
    std::lock_guard lock(mutex_);
    const std::vector<int> ids = bus_->InterfaceIds();
    for (auto it = links_.begin(); it != links_.end();) {
        if (std::find(ids.begin(), ids.end(), it->first) == ids.end()) {
            it = links_.erase(it);
        } else {
            ++it;
        }
    }
    bool ok = true;
    for (int id : ids) {
        if (links_.count(id)) continue;
        std::string why;
        std::unique_ptr<Link> link = MakeLink(id, why);
        if (link) {
            links_.emplace(id, std::move(link));
        } else if (!why.empty()) {
            error += (error.empty() ? "" : "; ") + why;
            ok = false;
        }
    }
    return ok;
}

void UhidBridge::Clear() {
    std::lock_guard lock(mutex_);
    links_.clear();
}

size_t UhidBridge::DeviceCount() const {
    std::lock_guard lock(mutex_);
    return links_.size();
}

std::vector<int> UhidBridge::Unbridged() const {
    std::lock_guard lock(mutex_);
    std::vector<int> missing;
    for (int id : bus_->InterfaceIds()) {
        if (!links_.count(id)) missing.push_back(id);
    }
    return missing;
}

void UhidBridge::SetAnsweredObserver(AnsweredObserver observer) {
    std::lock_guard lock(observerMutex_);
    observer_ = std::move(observer);
}

void UhidBridge::Answered() {
    AnsweredObserver observer;
    {
        std::lock_guard lock(observerMutex_);
        observer = observer_;
    }
    if (observer) observer();
}

}  // namespace q208::sim
