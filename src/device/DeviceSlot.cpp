#include "device/DeviceSlot.h"

#include <algorithm>
#include <cctype>

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

uint16_t ParsePathNumber(std::string_view path, std::string_view marker) {
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    const auto it = std::search(path.begin(), path.end(), marker.begin(), marker.end(),
                                [&](char a, char b) { return lower(a) == lower(b); });
    if (it == path.end()) return 0;
    uint32_t value = 0;
    for (auto p = it + static_cast<std::ptrdiff_t>(marker.size()); p != path.end() && std::isxdigit(static_cast<unsigned char>(*p)); ++p) {
        const char c = lower(*p);
        value = value * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
        if (value > 0xFFFF) break;
    }
    return static_cast<uint16_t>(value);
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
