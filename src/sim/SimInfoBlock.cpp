#include "sim/SimInfoBlock.h"

namespace q208::sim {
namespace {

void PutLittleEndian(std::vector<uint8_t>& bytes, std::size_t at, uint16_t value) {
    bytes[at] = static_cast<uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

std::vector<uint8_t> SimInfoBlock::ToBytes() const {
    std::vector<uint8_t> bytes(kSize, 0);
    PutLittleEndian(bytes, 0, firmwareVersion);
    PutLittleEndian(bytes, 2, productId);
    bytes[4] = hostKindCode;
    bytes[5] = keyCount;
    bytes[6] = macroUnits;
    PutLittleEndian(bytes, 9, sensorCode);
    bytes[11] = dpiStep;
    PutLittleEndian(bytes, 14, dpiMinimum);
    return bytes;
}

}  // namespace q208::sim
