#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace q208::sim {

// One key of the emulated 104-key keyboard, in device key index order (the physical
// order: row by row, left to right).
struct SimKeyboardKey {
    uint8_t tableRow;  // the host's key-table row that carries this key's default code
    uint8_t type;      // default function code: type, first value, second value
    uint8_t first;
    uint8_t second;
    uint8_t led;       // LED position (0 … 113) of the key
};

inline constexpr std::size_t kSimKeyboardKeyCount = 104;
inline constexpr std::size_t kSimKeyboardLedCount = 114;

std::span<const SimKeyboardKey, kSimKeyboardKeyCount> SimKeyboardKeys();

}  // namespace q208::sim
