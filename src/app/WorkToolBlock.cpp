#include "app/WorkToolBlock.h"

#include "app/DeviceModelTable.h"

namespace q208 {

namespace {

constexpr std::array<uint32_t, 4> kHeader{2, 3, 0, 2};

void PutWord(std::array<uint8_t, kWorkToolBlockBytes>& block, size_t& offset, uint32_t value) {
    if (offset + 4 > block.size()) return;  // the table would have to grow past 84 models
    for (int i = 0; i < 4; ++i) block[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    offset += 4;
}

}  // namespace

std::array<uint8_t, kWorkToolBlockBytes> BuildWorkToolBlock() {
    std::array<uint8_t, kWorkToolBlockBytes> block{};
    size_t offset = 0;
    for (uint32_t value : kHeader) PutWord(block, offset, value);
    PutWord(block, offset, static_cast<uint32_t>(DeviceModelTable().size()));
    for (const DeviceModel& model : DeviceModelTable()) {
        PutWord(block, offset, model.vendorId);
        PutWord(block, offset, model.productId);
        PutWord(block, offset, model.kind);
    }
    return block;
}

}  // namespace q208
