#pragma once

#include <cstdint>

namespace q208 {

// Milliseconds of a steady clock, wrapping like a 32-bit tick counter.
uint32_t TickCount();
// The same clock without wrapping, for deadlines.
uint64_t TickCount64();

}  // namespace q208
