#include "sim/SimLightingPeripheral.h"

#include <ostream>

#include "sim/SimHexText.h"
#include "sim/SimInfoBlock.h"

namespace q208::sim {
namespace {

std::vector<uint8_t> DefaultConfig() {
    std::vector<uint8_t> area(SimLightingPeripheral::kConfigSize, 0);
    // Block 0, active: mode code 1, full brightness, speed level 2, multicolour, red.
    const uint8_t block[SimLightingPeripheral::kBlockSize] = {
        0, 1, 4, 4 - 2, 0, 1, 0xFF, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    std::copy(std::begin(block), std::end(block), area.begin());
    return area;
}

struct Field {
    const char* name;
    std::size_t offset;
};
constexpr Field kBlockFields[] = {{"number", 0}, {"mode", 1}, {"brightness", 2}, {"inverse-speed", 3},
                                  {"multicolour", 5}, {"red", 6}, {"green", 7}, {"blue", 8}};
// Bytes the host carries through as it read them.
constexpr std::size_t kCarriedByte = 4;
constexpr std::size_t kCarriedFrom = 9;

void DescribeBlock(std::ostream& out, const std::vector<uint8_t>& block) {
    for (const Field& field : kBlockFields) out << ' ' << field.name << '=' << int{block[field.offset]};
}

}  // namespace

// The block the host reads (n × 25, with the bytes it carries through), then the blocks
// where the host writes them (a × 64).
void SimLightingPeripheral::DescribeConfig(std::ostream& out) const {
    const std::size_t readAt = std::size_t{ActiveBlock()} * kReadStride;
    out << "active-block " << int{ActiveBlock()} << '\n';
    const std::vector<uint8_t> active = LightingBlockAt(readAt);
    if (active.empty()) {
        out << "active@" << SimHexText::Hex(static_cast<unsigned>(readAt), 4) << ": past the setting area\n";
    } else {
        out << "active@" << SimHexText::Hex(static_cast<unsigned>(readAt), 4) << ':';
        DescribeBlock(out, active);
        const std::span<const uint8_t> carried(active.data() + kCarriedFrom, kBlockSize - kCarriedFrom);
        out << " byte4=" << int{active[kCarriedByte]} << " carried " << SimHexText::Bytes(carried) << '\n';
    }
    for (std::size_t offset = 0; offset + kBlockSize <= kConfigSize; offset += kWriteStride) {
        out << "block@" << SimHexText::Hex(static_cast<unsigned>(offset), 4) << ':';
        DescribeBlock(out, LightingBlockAt(offset));
        out << '\n';
    }
}

SimLightingPeripheral::SimLightingPeripheral(SimDeviceKind kind, uint16_t productId,
                                             uint8_t hostKindCode, uint8_t phoneType)
    : SimFirmware(kind) {
    SimInfoBlock info;
    info.productId = productId;
    info.hostKindCode = hostKindCode;
    DefineArea(SimArea::Info, info.ToBytes());
    DefineArea(SimArea::Config, DefaultConfig());
    // Powered by its cable: charged, not wireless; byte 5 is the paired phone's type.
    DefineArea(SimArea::Status, {100, 0, 0, 0, 0, phoneType});
}

uint8_t SimLightingPeripheral::ActiveBlock() const { return Config()[0]; }

std::vector<uint8_t> SimLightingPeripheral::LightingBlockAt(std::size_t offset) const {
    const std::vector<uint8_t> area = Config();
    if (offset > area.size() || kBlockSize > area.size() - offset) {
        return {};
    }
    const auto start = area.begin() + static_cast<std::ptrdiff_t>(offset);
    return {start, start + kBlockSize};
}

}  // namespace q208::sim
