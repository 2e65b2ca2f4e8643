#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "devices/lighting/KeyboardEffectList.h"
#include "profile/ProfileRecords.h"

namespace q208 {

// The mouse pad's 21-byte settings block. Byte 0 of the pad's setting area names the active
// block n; the host reads 26 bytes at n × 25 and keeps the first 21, and writes its 21 bytes
// at a × 64 (block a, which every caller gives as 0). Both offsets are the pad's own: with
// n = a = 0 they meet at offset 0.
//
// In the host's copy byte 1 is the page's mode index and byte 3 the speed level; on the pad
// byte 1 is the mode's code from the LED mode table and byte 3 is 4 − speed level. Bytes 4
// and 9 … 20 are the pad's own and are carried through as read.
struct MousePadSettingsBlock {
    static constexpr size_t kSize = 21;
    static constexpr size_t kReadSize = 26;
    static constexpr size_t kReadStride = 25;
    static constexpr size_t kWriteStride = 64;
    // Mode indexes above this have no code of their own: mode 0's code is written.
    static constexpr int kHighestModeIndex = 8;
    static constexpr uint8_t kSpeedBase = 4;

    // Byte offsets.
    static constexpr size_t kBlockNumber = 0;
    static constexpr size_t kMode = 1;
    static constexpr size_t kBrightness = 2;
    static constexpr size_t kSpeed = 3;
    static constexpr size_t kMulticolour = 5;
    static constexpr size_t kRed = 6;
    static constexpr size_t kGreen = 7;
    static constexpr size_t kBlue = 8;
    // The pad's own bytes, carried through: byte 4 and bytes 9 … 20.
    static constexpr size_t kPadByte = 4;
    static constexpr size_t kPadBytesFrom = 9;

    using Bytes = std::array<uint8_t, kSize>;
    using ReadBytes = std::array<uint8_t, kReadSize>;

    // The host's copy of what the pad sent from block n: mode code to the position of its
    // entry in `modes` (kept as read when no entry has it), speed byte to 4 − byte.
    static Bytes FromDevice(const ReadBytes& read, uint8_t blockNumber, const KeyboardEffectList& modes);
    // What goes to the pad: the mode's code (mode 0's above kHighestModeIndex), 4 − speed.
    static Bytes ToDevice(const Bytes& block, const KeyboardEffectList& modes);
    // The profile's lighting into the host's copy (bytes 1, 2, 3, 5, 6, 7, 8); the others stay.
    static void TakeLight(const LightInfoRecord& light, Bytes& block);
    // The lighting the host's copy holds, over `base` (the fields the block does not carry).
    static LightInfoRecord LightOf(const Bytes& block, LightInfoRecord base = {});
    // The code written for a mode index.
    static uint8_t CodeOf(int modeIndex, const KeyboardEffectList& modes);
    // Offsets of block n's read and of block a's write within the setting area.
    static uint16_t ReadOffset(uint8_t n) { return static_cast<uint16_t>(n * kReadStride); }
    static uint16_t WriteOffset(uint8_t a) { return static_cast<uint16_t>(a * kWriteStride); }
};

}  // namespace q208
