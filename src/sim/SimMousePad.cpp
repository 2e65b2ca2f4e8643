#include "sim/SimMousePad.h"

#include <array>

namespace q208::sim {
namespace {

constexpr uint16_t kProductId = 0x5D02;
constexpr uint8_t kHostKindMousePad = 3;
constexpr std::size_t kPhoneTypeByte = 5;

}  // namespace

SimMousePad::SimMousePad(uint8_t phoneType)
    : SimLightingPeripheral(SimDeviceKind::MousePad, kProductId, kHostKindMousePad, phoneType) {}

void SimMousePad::SetPhoneType(uint8_t phoneType) {
    const std::array<uint8_t, 1> value = {phoneType};
    Poke(SimArea::Status, kPhoneTypeByte, value);
}

}  // namespace q208::sim
