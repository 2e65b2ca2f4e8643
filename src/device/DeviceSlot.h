#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "device/HidPath.h"

namespace q208 {

enum DeviceKind : uint16_t {
    kKindKeyboard = 1,
    kKindMouse = 2,
    kKindMousePad = 3,
    kKindReceiverMouse = 6,
    kKindHeadset = 7,
    kKindReceiverKeyboard = 9,
    kKindReceiver = 10,
};

inline constexpr uint16_t kRolePrimary = 0x00;    // vendor interface: commands go through it
inline constexpr uint16_t kRoleSecondary = 0xFF;  // consumer interface

// One row of the supported-interface table and of the main window's slot list.
struct DeviceSlot {
    uint16_t vendorId = 0;
    uint16_t productId = 0;  // 0 for the devices behind the receiver: never taken by a scan
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;
    uint16_t kind = 0;
    uint16_t role = 0;
    uint16_t connected = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t linked = 0;
    uint16_t keyboardLink = 0;
    uint16_t mouseLink = 0;
    std::string devicePath;

    bool IsFree() const { return connected == 0 && devicePath.empty(); }
};

inline constexpr size_t kSupportedDeviceCount = 13;

// The interfaces the program drives, in slot order. The slot index is the identity of an
// interface in every message between the detection thread and the main window.
const std::array<DeviceSlot, kSupportedDeviceCount>& SupportedDeviceTable();

// Well-known slots.
inline constexpr size_t kSlotKeyboard = 0;
inline constexpr size_t kSlotReceiverKeyboard = 2;
inline constexpr size_t kSlotReceiver = 4;
inline constexpr size_t kSlotMouse = 6;
inline constexpr size_t kSlotReceiverMouse = 8;
inline constexpr size_t kSlotMousePad = 10;
inline constexpr size_t kSlotHeadset = 12;

// The identifiers a device path carries, read before anything is opened (16 bits each, 0
// when the marker is absent).
inline uint16_t ParseVendorId(std::string_view path) { return static_cast<uint16_t>(HidPath::HexAfter(path, "vid_")); }
inline uint16_t ParseProductId(std::string_view path) { return static_cast<uint16_t>(HidPath::HexAfter(path, "pid_")); }
inline uint16_t ParseInterfaceNumber(std::string_view path) { return static_cast<uint16_t>(HidPath::InterfaceNumber(path)); }
inline uint16_t ParseCollectionNumber(std::string_view path) { return static_cast<uint16_t>(HidPath::CollectionNumber(path)); }

const char* DeviceKindName(uint16_t kind);

}  // namespace q208
