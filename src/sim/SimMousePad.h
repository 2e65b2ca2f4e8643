#pragma once

#include "sim/SimLightingPeripheral.h"

namespace q208::sim {

// The emulated lighted mouse pad; its status block names the phone lying on it
// (byte 5: 1, 2, 3 or 0 for none).
class SimMousePad : public SimLightingPeripheral {
public:
    explicit SimMousePad(uint8_t phoneType = 1);

    void SetPhoneType(uint8_t phoneType);
};

}  // namespace q208::sim
