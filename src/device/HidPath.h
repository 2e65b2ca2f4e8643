#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace q208 {

// Device paths name one top-level collection: "<node>#vid_xxxx&pid_xxxx&mi_nn&colnn".
// "&mi_" is left out when the interface number is unknown, "&col" when the interface has
// a single collection; collection numbers count from 1.
struct HidPath {
    static constexpr size_t kMaxLength = 259;  // longest path an open accepts

    static std::string Make(std::string_view node, uint16_t vendorId, uint16_t productId,
                            int interfaceNumber, int collectionNumber);
    // The hexadecimal number after `marker` (found case-insensitively); 0 when absent.
    static uint32_t HexAfter(std::string_view path, std::string_view marker);
    static uint32_t InterfaceNumber(std::string_view path) { return HexAfter(path, "&mi_"); }
    static uint32_t CollectionNumber(std::string_view path) { return HexAfter(path, "&col"); }
    // Index of the top-level collection the path names (collection number - 1, or 0).
    static size_t CollectionIndex(std::string_view path);
    // The part before '#': the device node or the simulated interface.
    static std::string_view Node(std::string_view path);
};

}  // namespace q208
