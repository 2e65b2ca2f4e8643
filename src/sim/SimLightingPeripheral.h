#pragma once

#include <cstdint>
#include <vector>

#include "sim/SimFirmware.h"

namespace q208::sim {

// A device with lighting only (mouse pad, headset). Setting area: byte 0 is the active
// block n; the host reads 26 bytes at n × 25 and writes its 21-byte block at a × 64, so
// the area is flat memory both views share. Block: 0 block number, 1 mode code,
// 2 brightness, 3 4 − speed, 4 carried through, 5 multicolour, 6 … 8 RGB, 9 … 20 carried
// through.
class SimLightingPeripheral : public SimFirmware {
public:
    static constexpr std::size_t kConfigSize = 256;
    static constexpr std::size_t kBlockSize = 21;
    static constexpr std::size_t kReadStride = 25;
    static constexpr std::size_t kWriteStride = 64;

    uint8_t ActiveBlock() const;
    // The 21 bytes at offset; empty past the area.
    std::vector<uint8_t> LightingBlockAt(std::size_t offset) const;

protected:
    void DescribeConfig(std::ostream& out) const override;

    SimLightingPeripheral(SimDeviceKind kind, uint16_t productId, uint8_t hostKindCode,
                          uint8_t phoneType);
};

}  // namespace q208::sim
