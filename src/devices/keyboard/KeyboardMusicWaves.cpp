#include "devices/keyboard/KeyboardMusicWaves.h"

namespace q208 {

int KeyboardMusicWaves::StepFor(std::span<const int32_t> bands) {
    int64_t sum = 0;
    for (int band = 0; band < kBands; ++band) {
        const int64_t value = static_cast<size_t>(band) < bands.size() ? bands[band] : 0;
        const int64_t x = value * kScale / kFullLevel;
        sum += x > kScale ? 500 : kScale - x;
    }
    const int64_t average = sum / kBands;
    return static_cast<int>(kBands - average * kBands / kScale);
}

bool KeyboardMusicWaves::Accumulate(int step) {
    const int sum = accumulator_.fetch_add(step) + step;
    if (sum <= kAccumulatorLimit) return false;
    accumulator_ = 0;
    return true;
}

}  // namespace q208
