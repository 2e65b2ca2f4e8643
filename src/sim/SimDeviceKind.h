#pragma once

#include <cstdint>

namespace q208::sim {

// The emulated device models. The host-side kind codes (keyboard 1, mouse 2, mouse pad 3,
// headset 7, receiver 10) are in SimDeviceTable.
enum class SimDeviceKind : uint8_t { Keyboard, Mouse, MousePad, Headset, Receiver };

inline constexpr int kSimDeviceKindCount = 5;

}  // namespace q208::sim
