#include "sim/SimHeadset.h"

namespace q208::sim {
namespace {

constexpr uint16_t kProductId = 0x3E48;
constexpr uint8_t kHostKindHeadset = 7;

}  // namespace

SimHeadset::SimHeadset() : SimLightingPeripheral(SimDeviceKind::Headset, kProductId, kHostKindHeadset, 0) {}

}  // namespace q208::sim
