#include "tools/HexText.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace q208 {
namespace {

constexpr char kDigits[] = "0123456789abcdef";
constexpr size_t kDumpWidth = 16;

}  // namespace

std::string HexText::Bytes(std::span<const uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i) text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

void HexText::Dump(std::ostream& out, std::span<const uint8_t> bytes, uint32_t baseOffset) {
    for (size_t line = 0; line < bytes.size(); line += kDumpWidth) {
        char offset[16];
        std::snprintf(offset, sizeof offset, "0x%04x: ", static_cast<unsigned>(baseOffset + line));
        out << offset << Bytes(bytes.subspan(line, std::min(kDumpWidth, bytes.size() - line))) << '\n';
    }
}

std::string HexText::Byte(uint8_t value) {
    return std::string("0x") + kDigits[value >> 4] + kDigits[value & 0x0F];
}

}  // namespace q208
