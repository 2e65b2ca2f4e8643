#pragma once

#include <atomic>
#include <cstdint>
#include <span>

namespace q208 {

// How the keyboard turns the music's band values into waves. Each handed-over frame adds
// a step to one accumulator shared by every keyboard of the program; louder changes give
// larger steps, and each time the sum passes the limit a wave starts from one key.
class KeyboardMusicWaves {
public:
    static constexpr int kBands = 25;
    static constexpr int kWaveRow = 51;  // the key-table row the waves start from
    static constexpr int kAccumulatorLimit = 70;
    static constexpr int kScale = 600;
    static constexpr int kFullLevel = 2000;

    // 25 - avg × 25 / 600, where avg is the mean over the bands of 600 - v × 600 / 2000
    // (500 for a band beyond the full level). Missing bands count as 0.
    static int StepFor(std::span<const int32_t> bands);
    // Adds the step; true (and the sum back at 0) when it passed the limit.
    static bool Accumulate(int step);
    static int Accumulator() { return accumulator_.load(); }
    static void ResetAccumulator() { accumulator_ = 0; }

private:
    static inline std::atomic<int> accumulator_{0};
};

}  // namespace q208
