#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace q208 {

// The model list the "WorkTool" window receives as a data block (kind 5): the header
// values 2, 3, 0, 2, the model count, then vendor id, product id and kind of every model,
// each a little-endian 32-bit value; the rest of the 1024 bytes is zero.
inline constexpr uint64_t kWorkToolDataKind = 5;
inline constexpr size_t kWorkToolBlockBytes = 1024;

std::array<uint8_t, kWorkToolBlockBytes> BuildWorkToolBlock();

}  // namespace q208
