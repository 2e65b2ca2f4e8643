#include "device/HidPath.h"

#include <cctype>
#include <cstdio>

namespace q208 {
namespace {

size_t FindCaseInsensitive(std::string_view text, std::string_view marker) {
    if (marker.empty() || marker.size() > text.size()) return std::string_view::npos;
    for (size_t i = 0; i + marker.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < marker.size() &&
               std::tolower(static_cast<unsigned char>(text[i + k])) ==
                   std::tolower(static_cast<unsigned char>(marker[k]))) {
            ++k;
        }
        if (k == marker.size()) return i;
    }
    return std::string_view::npos;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string HidPath::Make(std::string_view node, uint16_t vendorId, uint16_t productId,
                          int interfaceNumber, int collectionNumber) {
    char ids[64];
    std::snprintf(ids, sizeof ids, "#vid_%04x&pid_%04x", vendorId, productId);
    std::string path(node);
    path += ids;
    if (interfaceNumber >= 0) {
        std::snprintf(ids, sizeof ids, "&mi_%02x", static_cast<unsigned>(interfaceNumber));
        path += ids;
    }
    if (collectionNumber > 0) {
        std::snprintf(ids, sizeof ids, "&col%02x", static_cast<unsigned>(collectionNumber));
        path += ids;
    }
    return path;
}

uint32_t HidPath::HexAfter(std::string_view path, std::string_view marker) {
    const size_t at = FindCaseInsensitive(path, marker);
    if (at == std::string_view::npos) return 0;
    uint32_t value = 0;
    for (size_t i = at + marker.size(); i < path.size(); ++i) {
        const int digit = HexDigit(path[i]);
        if (digit < 0) break;
        value = value * 16 + static_cast<uint32_t>(digit);  // wraps like "%x" on overflow
    }
    return value;
}

size_t HidPath::CollectionIndex(std::string_view path) {
    const uint32_t number = CollectionNumber(path);
    return number == 0 ? 0 : number - 1;
}

std::string_view HidPath::Node(std::string_view path) {
    return path.substr(0, path.find('#'));
}

}  // namespace q208
