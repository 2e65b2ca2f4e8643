#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>

namespace q208::sim {

// Bytes as the emulator's text output shows them: lower-case two-digit hex, as q208ctl's
// --trace does, so lines of both can be compared.
struct SimHexText {
    // "04 01 00 …"
    static std::string Bytes(std::span<const uint8_t> bytes);
    // Lines of 16 bytes led by the offset of their first byte: "0x0010: 2a 00 …".
    static void Dump(std::ostream& out, std::span<const uint8_t> bytes);
    // "0x1a", "0x3325"
    static std::string Hex(unsigned value, int digits);
};

}  // namespace q208::sim
