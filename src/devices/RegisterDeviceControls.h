#pragma once

namespace q208 {

// Makes the device base and the device entry known to the control factory under their
// class names ("VantorixUSBDevice", "DeviceOption"). Safe to call more than once.
void RegisterDeviceControls();

}  // namespace q208
