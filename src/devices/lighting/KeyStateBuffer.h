#pragma once

#include <array>
#include <cstdint>

namespace q208 {

// Light keys any device may have: the largest key table (the keyboard's) sets it.
inline constexpr int kMaxLightKeys = 170;

// Per-key fade levels of the reactive effects and the 23-byte marquee ring.
class KeyStateBuffer {
public:
    static constexpr int kRingSize = 23;
    static constexpr int kRingMarkedBytes = 9;  // ring bytes that MarkRing copies to keys
    static constexpr int kFadeModes = 3;        // 0 steady, 1 quick, 2 slow

    uint8_t Level(int key) const;
    void SetLevel(int key, uint8_t level);  // ignored outside 0 … 169
    uint8_t RingByte(int position) const;
    void SetRingByte(int position, uint8_t value);

    // Sets the key level at each of the first 9 ring positions whose byte is not 0 to 255.
    void MarkRing();
    // Rotates the ring by one position: towards higher positions when up, else lower.
    void RotateRing(bool up);
    // All key levels and ring bytes to 0.
    void ClearKeyStates();
    // Lowers a key's level: big steps while it is high, 1 per call below 17; any level
    // reaches 0 after a bounded number of calls. Returns the new level. An unknown mode
    // fades like mode 0.
    uint8_t FadeStep(int key, int mode);

    const std::array<uint8_t, kMaxLightKeys>& Levels() const { return levels_; }

private:
    std::array<uint8_t, kMaxLightKeys> levels_{};
    std::array<uint8_t, kRingSize> ring_{};
};

}  // namespace q208
