#include "device/DeviceSlotList.h"

#include <algorithm>

namespace q208 {

DeviceSlotList::DeviceSlotList() : slots_(SupportedDeviceTable()) {}

std::optional<DeviceSlot> DeviceSlotList::Slot(size_t index) const {
    if (index >= Count()) return std::nullopt;
    std::lock_guard lock(mutex_);
    return slots_[index];
}

std::string DeviceSlotList::DevicePath(size_t index) const {
    if (index >= Count()) return {};
    std::lock_guard lock(mutex_);
    return slots_[index].devicePath;
}

bool DeviceSlotList::IsConnected(size_t index) const {
    if (index >= Count()) return false;
    std::lock_guard lock(mutex_);
    return slots_[index].connected != 0;
}

void DeviceSlotList::SetConnected(size_t index, bool connected) {
    if (index >= Count()) return;
    std::lock_guard lock(mutex_);
    slots_[index].connected = connected ? 1 : 0;
}

bool DeviceSlotList::AllSlotsTaken() const {
    std::lock_guard lock(mutex_);
    return std::none_of(slots_.begin(), slots_.end(), [](const DeviceSlot& slot) { return slot.IsFree(); });
}

bool DeviceSlotList::QuickMatch(const InterfaceCandidate& candidate) const {
    if (!SupportedInterfaceMatcher().QuickMatch(candidate)) return false;
    std::lock_guard lock(mutex_);
    return SupportedInterfaceMatcher(slots_).QuickMatch(candidate);
}

std::optional<size_t> DeviceSlotList::FullMatch(InterfaceCandidate& candidate) {
    if (!SupportedInterfaceMatcher().Classify(candidate)) return std::nullopt;
    std::lock_guard lock(mutex_);
    const std::optional<size_t> index = SupportedInterfaceMatcher(slots_).FullMatch(candidate);
    if (index) {
        slots_[*index].connected = 1;
        slots_[*index].devicePath = candidate.path;
    }
    return index;
}

std::vector<DeviceSlotList::WatchedSlot> DeviceSlotList::WatchedSlots() const {
    std::vector<WatchedSlot> watched;
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < slots_.size(); ++i) {
        const DeviceSlot& slot = slots_[i];
        const bool unwatchedReceiver = slot.kind == kKindReceiver && !slot.devicePath.empty();
        if (slot.connected != 0 || unwatchedReceiver) watched.push_back({i, slot.devicePath, slot.connected != 0});
    }
    return watched;
}

bool DeviceSlotList::Release(size_t index, const std::string& path, bool* wasConnected) {
    if (index >= Count()) return false;
    std::lock_guard lock(mutex_);
    DeviceSlot& slot = slots_[index];
    if (slot.devicePath != path || slot.IsFree()) return false;
    if (wasConnected) *wasConnected = slot.connected != 0;
    slot.connected = 0;
    slot.devicePath.clear();
    return true;
}

}  // namespace q208
