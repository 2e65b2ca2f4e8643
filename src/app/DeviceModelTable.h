#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace q208 {

// One device model: where its page, entry and power panel come from and which slot
// identifies it.
struct DeviceModel {
    const char* optionLayout;
    const char* tabLayout;
    const char* powerSwitch;
    const char* label;
    std::array<int, 4> numbers;  // the fourth is the device's language number
    uint16_t vendorId;
    uint16_t productId;
    uint16_t kind;
    uint16_t role;
    std::array<int, 4> pageNumbers;  // the first three configure the device object
    const char* pageLayout;
    const char* lightName;
    const char* modelFolder;  // names the factory profile and the user folder
};

inline constexpr size_t kDeviceModelCount = 4;
const std::array<DeviceModel, kDeviceModelCount>& DeviceModelTable();
// The model of (vendor, product, kind, role); -1 when none matches.
int FindDeviceModel(uint16_t vendorId, uint16_t productId, uint16_t kind, uint16_t role);
// The model that serves a slot kind: a keyboard or mouse behind the receiver is served by
// the keyboard or mouse model. -1 for kinds without a page (the receiver).
int ModelForSlotKind(uint16_t kind);

// Device classes whose own implementation is not part of the program yet, each served by a
// stand-in class until it is. A row leaves this table when its class is registered.
struct DeviceClassStandIn {
    std::string_view className;  // the page layout's root element
    std::string_view standIn;    // the class that is built instead
};
const std::vector<DeviceClassStandIn>& DeviceClassStandIns();

}  // namespace q208
