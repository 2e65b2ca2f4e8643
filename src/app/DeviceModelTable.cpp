#include "app/DeviceModelTable.h"

#include <algorithm>

#include "device/DeviceSlot.h"

namespace q208 {

namespace {
constexpr const char* kOption = "XML/CustomControlXML/DeviceOption.xml";
constexpr const char* kTab = "tab_header_device";
constexpr const char* kPower = "device_power_switch";
constexpr const char* kLight = "qelin_light";
}  // namespace

const std::array<DeviceModel, kDeviceModelCount>& DeviceModelTable() {
    static const std::array<DeviceModel, kDeviceModelCount> table{{
        {kOption, kTab, kPower, "keyboard", {1, 1, -1, 0}, 0x4E5B, 0x7C13, kKindKeyboard, kRolePrimary,
         {170, 170, 1, -1}, "XML/DeviceXml/keyboarddevice_4190.xml", kLight, "Keyboard"},
        {kOption, kTab, kPower, "mouse", {0, 0, 0, 1}, 0x4E5B, 0x7C11, kKindMouse, kRolePrimary,
         {15, 11, 1, -1}, "XML/DeviceXml/mousedevice.xml", kLight, "Mouse"},
        {kOption, kTab, kPower, "MousePad", {2, 2, 1, 2}, 0x4E5B, 0x5D02, kKindMousePad, kRolePrimary,
         {15, 0, 0, -1}, "XML/DeviceXml/mousepaddevice.xml", kLight, "MousePad"},
        {kOption, kTab, kPower, "HD", {3, 3, -1, 3}, 0x2A91, 0x3E48, kKindHeadset, kRolePrimary,
         {13, 0, 0, -1}, "XML/DeviceXml/qv2907device.xml", kLight, "Headset"},
    }};
    return table;
}

int FindDeviceModel(uint16_t vendorId, uint16_t productId, uint16_t kind, uint16_t role) {
    const auto& table = DeviceModelTable();
    const auto it = std::find_if(table.begin(), table.end(), [&](const DeviceModel& m) {
        return m.vendorId == vendorId && m.productId == productId && m.kind == kind && m.role == role;
    });
    return it == table.end() ? -1 : static_cast<int>(it - table.begin());
}

int ModelForSlotKind(uint16_t kind) {
    struct Row {
        uint16_t slotKind;
        uint16_t modelKind;
    };
    static constexpr Row kRows[] = {
        {kKindKeyboard, kKindKeyboard}, {kKindReceiverKeyboard, kKindKeyboard}, {kKindMouse, kKindMouse},
        {kKindReceiverMouse, kKindMouse}, {kKindMousePad, kKindMousePad},       {kKindHeadset, kKindHeadset},
    };
    for (const Row& row : kRows) {
        if (row.slotKind != kind) continue;
        const auto& table = DeviceModelTable();
        for (size_t i = 0; i < table.size(); ++i) {
            if (table[i].kind == row.modelKind) return static_cast<int>(i);
        }
    }
    return -1;
}

const std::vector<DeviceClassStandIn>& DeviceClassStandIns() {
    // Every device class of the table has joined; a class that is still missing would be
    // served by the device base, which attaches, reads nothing and shows the entry.
    static const std::vector<DeviceClassStandIn> table{};
    return table;
}

}  // namespace q208
