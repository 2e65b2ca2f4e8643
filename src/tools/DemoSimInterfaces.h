#pragma once

#include <memory>

#include "device/SimBus.h"

namespace q208 {

// A small keyboard-like device on a simulated bus for --simulate, until the device
// emulator takes over: interface 0 a boot keyboard, interface 1 the keyboard, system,
// consumer and vendor collections. The vendor collection echoes every command report.
class DemoSimInterfaces {
public:
    static constexpr uint16_t kVendorId = 0x4E5B;
    static constexpr uint16_t kProductId = 0x7C13;

    static std::shared_ptr<SimBus> MakeBus();
    static void PlugInto(SimBus& bus);
};

}  // namespace q208
