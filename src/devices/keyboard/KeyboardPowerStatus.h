#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "devices/base/DeviceMessages.h"
#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"

namespace q208 {

// The keyboard's power status block, read on the receiver path for the power panel.
class KeyboardPowerStatus {
public:
    // The main window's power-status message; its first parameter is byte 4 of the block.
    static constexpr int kPowerStatusMessage = static_cast<int>(WM_DEVICE_POWER_STATUS);
    static constexpr size_t kBattery = 0;
    static constexpr size_t kChargeState = 1;
    static constexpr size_t kWireless = 3;
    static constexpr size_t kForwarded = 4;
    using Block = std::array<uint8_t, CDeviceCommands::kStatusSize>;

    // Needs an open channel, the status hold clear and the keyboard linked. Byte 3 is
    // forced to 1 through the receiver and to 0 on the cable.
    static std::optional<Block> Read(CDeviceCommands& commands, CDeviceChannel& channel, bool statusHold);
};

}  // namespace q208
