#pragma once

#include <cstdint>

namespace q208 {

// One per-key colour entry: red, green, blue (the order of the device frames), intensity.
struct KeyColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t intensity = 0;

    friend bool operator==(const KeyColour&, const KeyColour&) = default;

    // Packed as the 32-bit value of SetKeyColour/GetKeyColour: red in the low byte.
    uint32_t Packed() const {
        return red | (uint32_t{green} << 8) | (uint32_t{blue} << 16) | (uint32_t{intensity} << 24);
    }
    static KeyColour FromPacked(uint32_t value) {
        return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    }
    bool IsBlack() const { return red == 0 && green == 0 && blue == 0; }
};

}  // namespace q208
