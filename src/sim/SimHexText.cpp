#include "sim/SimHexText.h"

#include <ostream>

namespace q208::sim {
namespace {

constexpr char kDigits[] = "0123456789abcdef";
constexpr std::size_t kBytesPerLine = 16;

void AppendHex(std::string& to, unsigned value, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) to.push_back(kDigits[(value >> shift) & 0xF]);
}

}  // namespace

std::string SimHexText::Bytes(std::span<const uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i) text.push_back(' ');
        AppendHex(text, bytes[i], 2);
    }
    return text;
}

void SimHexText::Dump(std::ostream& out, std::span<const uint8_t> bytes) {
    for (std::size_t at = 0; at < bytes.size(); at += kBytesPerLine) {
        const std::size_t count = std::min(kBytesPerLine, bytes.size() - at);
        out << Hex(static_cast<unsigned>(at), 4) << ": " << Bytes(bytes.subspan(at, count)) << '\n';
    }
}

std::string SimHexText::Hex(unsigned value, int digits) {
    std::string text = "0x";
    AppendHex(text, value, digits);
    return text;
}

}  // namespace q208::sim
