#include "device/DeviceSlot.h"

namespace q208 {

const std::array<DeviceSlot, kSupportedDeviceCount>& SupportedDeviceTable() {
    // vendor, product, mi, col, kind, role, connected, usage page, usage, linked, kb, ms
    static const std::array<DeviceSlot, kSupportedDeviceCount> kTable = {{
        {0x4E5B, 0x7C13, 1, 4, kKindKeyboard, kRolePrimary, 0, 0xFF1C, 0x92, 0, 4, 0, {}},
        {0x4E5B, 0x7C13, 1, 3, kKindKeyboard, kRoleSecondary, 0, 0x000C, 0x01, 0, 5, 0, {}},
        {0x4E5B, 0x0000, 1, 4, kKindReceiverKeyboard, kRolePrimary, 0, 0xFF1C, 0x92, 1, 0, 0, {}},
        {0x4E5B, 0x0000, 1, 3, kKindReceiverKeyboard, kRoleSecondary, 0, 0x000C, 0x01, 1, 1, 0, {}},
        {0x4E5B, 0x7C12, 1, 4, kKindReceiver, kRolePrimary, 0, 0xFF1C, 0x92, 1, 0, 6, {}},
        {0x4E5B, 0x7C12, 1, 3, kKindReceiver, kRoleSecondary, 0, 0x000C, 0x01, 1, 1, 7, {}},
        {0x4E5B, 0x7C11, 1, 2, kKindMouse, kRolePrimary, 0, 0xFF1C, 0x92, 0, 0, 4, {}},
        {0x4E5B, 0x7C11, 0, 3, kKindMouse, kRoleSecondary, 0, 0x000C, 0x01, 0, 0, 5, {}},
        {0x4E5B, 0x0000, 1, 4, kKindReceiverMouse, kRolePrimary, 0, 0xFF1C, 0x92, 1, 0, 6, {}},
        {0x4E5B, 0x0000, 1, 3, kKindReceiverMouse, kRoleSecondary, 0, 0x000C, 0x01, 1, 0, 7, {}},
        {0x4E5B, 0x5D02, 1, 4, kKindMousePad, kRolePrimary, 0, 0xFF1C, 0x92, 0, 0, 0, {}},
        {0x4E5B, 0x5D02, 1, 3, kKindMousePad, kRoleSecondary, 0, 0x000C, 0x01, 0, 0, 0, {}},
        {0x2A91, 0x3E48, 3, 0, kKindHeadset, kRolePrimary, 0, 0x000C, 0x01, 0, 0, 0, {}},
    }};
    return kTable;
}

const char* DeviceKindName(uint16_t kind) {
    struct KindName {
        uint16_t kind;
        const char* name;
    };
    static constexpr KindName kNames[] = {
        {kKindKeyboard, "keyboard"},          {kKindMouse, "mouse"},
        {kKindMousePad, "mousepad"},          {kKindReceiverMouse, "receiver-mouse"},
        {kKindHeadset, "headset"},            {kKindReceiverKeyboard, "receiver-keyboard"},
        {kKindReceiver, "receiver"},
    };
    for (const auto& entry : kNames) {
        if (entry.kind == kind) return entry.name;
    }
    return "unknown";
}

}  // namespace q208
