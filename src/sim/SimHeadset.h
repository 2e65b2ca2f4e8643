#pragma once

#include "sim/SimLightingPeripheral.h"

namespace q208::sim {

// The emulated headset: lighting over the vendor reports inside its consumer collection.
class SimHeadset : public SimLightingPeripheral {
public:
    SimHeadset();
};

}  // namespace q208::sim
