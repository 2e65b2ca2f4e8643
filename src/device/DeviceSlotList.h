#pragma once

#include <array>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/DeviceSlot.h"
#include "device/SupportedInterfaceMatcher.h"

namespace q208 {

// The main window's slots: a copy of every supported row, in table order. The detection
// thread takes and frees slots (connected and path); the user-interface thread reads them
// and marks the receiver slots watched. Every access goes through one short lock, and
// readers get copies, so neither side ever sees half a slot.
class DeviceSlotList {
public:
    // A taken slot the removal check looks at.
    struct WatchedSlot {
        size_t index = 0;
        std::string path;
        bool connected = false;  // false: a receiver slot taken but not watched for removal
    };

    DeviceSlotList();
    DeviceSlotList(const DeviceSlotList&) = delete;
    DeviceSlotList& operator=(const DeviceSlotList&) = delete;

    static constexpr size_t Count() { return kSupportedDeviceCount; }

    // A copy of the slot; nothing for an index not below Count().
    std::optional<DeviceSlot> Slot(size_t index) const;
    // Empty for a free slot or an index out of range.
    std::string DevicePath(size_t index) const;
    bool IsConnected(size_t index) const;
    // Ignored for an index out of range.
    void SetConnected(size_t index, bool connected);

    // True when no slot is free.
    bool AllSlotsTaken() const;
    // True when a supported row has the candidate's vendor, product, interface and
    // collection and a free slot has them too.
    bool QuickMatch(const InterfaceCandidate& candidate) const;
    // Classifies the candidate against the supported rows (kind and role copied into it),
    // then takes the first free slot equal in all six values: connected, with the
    // candidate's path. The slot's index, or nothing when either search fails.
    std::optional<size_t> FullMatch(InterfaceCandidate& candidate);

    // Every slot that is connected, and every receiver slot that is taken but not watched,
    // with the path it holds.
    std::vector<WatchedSlot> WatchedSlots() const;
    // Frees the slot (connected 0, path empty) if it still holds `path`; false when
    // something else took or freed it meanwhile. `wasConnected` (may be null) tells whether
    // the slot was watched at that moment.
    bool Release(size_t index, const std::string& path, bool* wasConnected = nullptr);

private:
    mutable std::mutex mutex_;
    std::array<DeviceSlot, kSupportedDeviceCount> slots_;
};

}  // namespace q208
