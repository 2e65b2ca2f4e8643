#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>

namespace q208 {

// Byte formatting shared by q208ctl's output: lower-case two-digit hex.
struct HexText {
    // "04 01 00 …": every byte, separated by single spaces.
    static std::string Bytes(std::span<const uint8_t> bytes);
    // Lines of 16 bytes, each led by the device offset of its first byte: "0x0010: 2a 00 …".
    static void Dump(std::ostream& out, std::span<const uint8_t> bytes, uint32_t baseOffset);
    // "0x1a"
    static std::string Byte(uint8_t value);
};

}  // namespace q208
