#pragma once

#include <span>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "devices/keyboard/KeyboardMemory.h"
#include "profile/ProfileRecords.h"

namespace q208 {

// Writes key assignments into the keyboard's key map: the key map copy with each
// assignment's 3-byte code at its row's device key index, between BeginConfig and EndConfig.
class KeyboardKeyMapWriter {
public:
    // The key map that would be written: 3 × key count bytes of the copy with the
    // assignments (current half; its index is the key-table row) applied. Rows without a
    // device key are skipped.
    static std::vector<uint8_t> Compose(const KeyboardMemory& memory, std::span<const KeyAssignmentRecord> assignments);

    // Result 0 with a closed channel or a key count the channel refuses, else the result
    // of WriteKeyMap (−201 for a bank other than 0). Nothing is sent after the information
    // block when its read fails (that result is returned) or when the memory holds no key
    // map read for the keyboard's key count (0).
    static int Write(CDeviceCommands& commands, CDeviceChannel& channel, KeyboardMemory& memory, int bank,
                     std::span<const KeyAssignmentRecord> assignments);
};

}  // namespace q208
