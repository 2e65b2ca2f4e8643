#include "devices/keyboard/KeyboardPowerStatus.h"

#include "device/DeviceResult.h"

namespace q208 {

std::optional<KeyboardPowerStatus::Block> KeyboardPowerStatus::Read(CDeviceCommands& commands,
                                                                    CDeviceChannel& channel, bool statusHold) {
    if (!channel.IsOpen() || statusHold || !commands.QueryLink()) return std::nullopt;
    Block block{};
    if (commands.ReadStatus(block, 0) != kResultOk) return std::nullopt;
    block[kWireless] = channel.ViaReceiver() ? 1 : 0;
    return block;
}

}  // namespace q208
