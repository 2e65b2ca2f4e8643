#pragma once

#include <cstddef>
#include <cstdint>

namespace q208 {

// What a device object needs of its power panel (battery, charge state, wireless logo).
// The panel control implements it and hands it out through GetInterface(kInterfaceName).
class IDevicePowerPanel {
public:
    static constexpr const char* kInterfaceName = "DevicePowerPanel";

    virtual ~IDevicePowerPanel() = default;

    // The status block read from the device (6 bytes: level, charge state, …, wireless).
    virtual void ShowStatus(const uint8_t* block, size_t length) = 0;
    virtual void ShowPowerLayout(bool show) = 0;
    // False when the panel has no wireless logo.
    virtual bool ShowWirelessLogo(bool show) = 0;
};

}  // namespace q208
