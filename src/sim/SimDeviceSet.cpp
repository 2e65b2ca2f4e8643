#include "sim/SimDeviceSet.h"

#include <algorithm>
#include <sstream>

#include "device/HidPath.h"
#include "sim/SimDescriptors.h"
#include "sim/SimDeviceTable.h"
#include "sim/SimHeadset.h"
#include "sim/SimMousePad.h"

namespace q208::sim {
namespace {

struct KindLabel {
    SimDeviceKind kind;
    const char* name;
};

constexpr KindLabel kKindNames[] = {
    {SimDeviceKind::Keyboard, "keyboard"}, {SimDeviceKind::Mouse, "mouse"},
    {SimDeviceKind::MousePad, "mousepad"}, {SimDeviceKind::Headset, "headset"},
    {SimDeviceKind::Receiver, "receiver"},
};

constexpr SimDeviceKind kDefaultSet[] = {SimDeviceKind::Keyboard, SimDeviceKind::Receiver, SimDeviceKind::MousePad,
                                         SimDeviceKind::Headset};

constexpr uint16_t kSimVersion = 0x0100;

}  // namespace

// One device on the bus: its firmware and the bus ids of its interfaces.
struct SimDeviceSet::Plugged {
    SimDeviceKind kind;
    std::shared_ptr<SimFirmware> firmware;
    std::vector<int> interfaceIds;
    int commandId = -1;
    std::atomic<bool> gone{false};
};

SimDeviceSet::SimDeviceSet(std::shared_ptr<SimBus> bus) : bus_(std::move(bus)) {}

SimDeviceSet::~SimDeviceSet() {
    std::vector<SimDeviceKind> kinds;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [kind, plugged] : plugged_) kinds.push_back(kind);
    }
    for (SimDeviceKind kind : kinds) Unplug(kind);
    std::lock_guard lock(mutex_);
    for (auto& [kind, device] : devices_) {
        device->SetReportsPendingCallback({});
        device->SetUnplugHandler({});
    }
}

std::optional<std::vector<SimDeviceKind>> SimDeviceSet::ParseList(std::string_view list, std::string* error) {
    if (list.empty()) return std::vector<SimDeviceKind>(std::begin(kDefaultSet), std::end(kDefaultSet));
    std::vector<SimDeviceKind> kinds;
    std::stringstream stream{std::string(list)};
    std::string name;
    while (std::getline(stream, name, ',')) {
        const auto it = std::find_if(std::begin(kKindNames), std::end(kKindNames),
                                     [&](const KindLabel& k) { return name == k.name; });
        if (it == std::end(kKindNames)) {
            if (error) *error = "unknown simulated device '" + name + "' (keyboard, mouse, mousepad, headset, receiver)";
            return std::nullopt;
        }
        if (std::find(kinds.begin(), kinds.end(), it->kind) == kinds.end()) kinds.push_back(it->kind);
    }
    return kinds;
}

const char* SimDeviceSet::KindName(SimDeviceKind kind) {
    for (const auto& entry : kKindNames) {
        if (entry.kind == kind) return entry.name;
    }
    return "unknown";
}

std::shared_ptr<SimFirmware> SimDeviceSet::Device(SimDeviceKind kind) {
    // Built under the creation lock only, never under the set's lock: a receiver hooks
    // itself into the devices behind it (their forwarding lock), and an event forwarded
    // through it takes the set's lock.
    std::lock_guard create(createMutex_);
    {
        std::lock_guard lock(mutex_);
        if (auto it = devices_.find(kind); it != devices_.end()) return it->second;
    }
    std::shared_ptr<SimFirmware> made = MakeDevice(kind);
    made->SetUnplugHandler([this, kind] { OnUnplugRequested(kind); });
    std::lock_guard lock(mutex_);
    devices_.emplace(kind, made);
    return made;
}

std::shared_ptr<SimFirmware> SimDeviceSet::MakeDevice(SimDeviceKind kind) {
    switch (kind) {
        case SimDeviceKind::Keyboard: return std::make_shared<SimKeyboard>();
        case SimDeviceKind::Mouse: return std::make_shared<SimMouse>();
        case SimDeviceKind::MousePad: return std::make_shared<SimMousePad>();
        case SimDeviceKind::Headset: return std::make_shared<SimHeadset>();
        case SimDeviceKind::Receiver:
            return std::make_shared<SimReceiver>(Device(SimDeviceKind::Keyboard), Device(SimDeviceKind::Mouse));
    }
    return nullptr;
}

std::shared_ptr<SimKeyboard> SimDeviceSet::Keyboard() {
    return std::static_pointer_cast<SimKeyboard>(Device(SimDeviceKind::Keyboard));
}
std::shared_ptr<SimMouse> SimDeviceSet::Mouse() { return std::static_pointer_cast<SimMouse>(Device(SimDeviceKind::Mouse)); }
std::shared_ptr<SimReceiver> SimDeviceSet::Receiver() {
    return std::static_pointer_cast<SimReceiver>(Device(SimDeviceKind::Receiver));
}

bool SimDeviceSet::Plug(SimDeviceKind kind) {
    std::shared_ptr<SimFirmware> firmware = Device(kind);
    std::lock_guard lock(mutex_);
    if (plugged_.count(kind)) return false;
    auto plugged = std::make_shared<Plugged>();
    plugged->kind = kind;
    plugged->firmware = std::move(firmware);
    const SimDeviceEntry& entry = SimDeviceEntryFor(kind);
    for (const SimInterface& iface : entry.interfaces) {
        SimBus::InterfaceInfo info;
        info.vendorId = entry.vendorId;
        info.productId = entry.productId;
        info.version = kSimVersion;
        info.interfaceNumber = iface.interfaceNumber;
        const auto descriptor = ReportDescriptor(kind, iface.interfaceNumber);
        info.reportDescriptor.assign(descriptor.begin(), descriptor.end());
        const bool commands = iface.interfaceNumber == entry.commandInterface;
        std::weak_ptr<Plugged> weak = plugged;
        const int id = bus_->Plug(std::move(info), [this, weak, commands](int, std::span<const uint8_t> report) {
            if (auto p = weak.lock(); p && commands) Route(*p, report);
        });
        if (id < 0) continue;
        plugged->interfaceIds.push_back(id);
        if (commands) plugged->commandId = id;
    }
    plugged->firmware->SetReportsPendingCallback([this, kind] { DeliverSpontaneous(kind); });
    // The traffic is counted from the plug on; a device reached only through the receiver
    // starts over with the receiver.
    plugged->firmware->traffic().Reset();
    if (kind == SimDeviceKind::Receiver) {
        const auto receiver = std::static_pointer_cast<SimReceiver>(plugged->firmware);
        for (const auto& linked : {receiver->Keyboard(), receiver->Mouse()}) {
            if (linked && !plugged_.count(linked->Kind())) linked->traffic().Reset();
        }
    }
    plugged_[kind] = plugged;
    return true;
}

void SimDeviceSet::PlugAll(const std::vector<SimDeviceKind>& kinds) {
    for (SimDeviceKind kind : kinds) Plug(kind);
}

bool SimDeviceSet::Unplug(SimDeviceKind kind) {
    std::shared_ptr<Plugged> plugged;
    {
        std::lock_guard lock(mutex_);
        auto it = plugged_.find(kind);
        if (it == plugged_.end()) return false;
        plugged = it->second;
        plugged_.erase(it);
    }
    plugged->gone = true;
    for (int id : plugged->interfaceIds) bus_->Unplug(id);
    plugged->firmware->ClearUnplugRequest();
    return true;
}

bool SimDeviceSet::SetLinked(SimDeviceKind kind, bool linked) {
    if (kind != SimDeviceKind::Keyboard && kind != SimDeviceKind::Mouse) return false;
    Receiver()->SetLinked(kind, linked);
    return true;
}

void SimDeviceSet::OnUnplugRequested(SimDeviceKind kind) {
    if (IsPlugged(kind)) {
        Unplug(kind);
        return;
    }
    if (IsPlugged(SimDeviceKind::Receiver)) SetLinked(kind, false);
    Device(kind)->ClearUnplugRequest();
}

void SimDeviceSet::SetOutputObserver(std::function<void(SimDeviceKind)> observer) {
    std::lock_guard lock(observerMutex_);
    outputObserver_ = std::move(observer);
}

bool SimDeviceSet::IsPlugged(SimDeviceKind kind) const {
    std::lock_guard lock(mutex_);
    return plugged_.count(kind) != 0;
}

std::vector<std::string> SimDeviceSet::PathsOf(SimDeviceKind kind) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> paths;
    auto it = plugged_.find(kind);
    if (it == plugged_.end()) return paths;
    for (int id : it->second->interfaceIds) {
        for (auto& path : bus_->PathsOf(id)) paths.push_back(std::move(path));
    }
    return paths;
}

std::string SimDeviceSet::CommandPath(SimDeviceKind kind) const {
    std::lock_guard lock(mutex_);
    auto it = plugged_.find(kind);
    if (it == plugged_.end()) return {};
    const SimDeviceEntry& entry = SimDeviceEntryFor(kind);
    for (const std::string& path : bus_->PathsOf(it->second->commandId)) {
        if (entry.commandCollection == 0 || HidPath::CollectionNumber(path) == entry.commandCollection) return path;
    }
    return {};
}

void SimDeviceSet::Route(Plugged& plugged, std::span<const uint8_t> report) {
    std::function<void(SimDeviceKind)> observer;
    {
        std::lock_guard lock(observerMutex_);
        observer = outputObserver_;
    }
    if (observer) observer(plugged.kind);
    if (plugged.gone) return;
    for (const SimAnswer& answer : plugged.firmware->HandleOutputReport(report)) {
        if (plugged.gone) return;  // the transfer unplugged the device
        bus_->QueueInput(plugged.commandId, answer.report, answer.delayMs);
    }
}

void SimDeviceSet::DeliverSpontaneous(SimDeviceKind kind) {
    std::shared_ptr<Plugged> plugged;
    {
        std::lock_guard lock(mutex_);
        auto it = plugged_.find(kind);
        if (it != plugged_.end()) plugged = it->second;
    }
    if (!plugged) return;
    for (const auto& report : plugged->firmware->TakeSpontaneousInput()) {
        bus_->QueueInput(plugged->commandId, report);
    }
}

}  // namespace q208::sim
