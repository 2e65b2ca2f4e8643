#pragma once

namespace q208 {

// Makes the program's own controls known to the control factory by their element names
// ("SelectPanel", "DeviceKeyButton"). Safe to call more than once.
void RegisterControls();

}  // namespace q208
