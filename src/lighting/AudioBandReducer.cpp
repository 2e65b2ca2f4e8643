#include "lighting/AudioBandReducer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace q208 {

namespace {

constexpr int kCounted = 4;

// |a - b| without overflow: a frame from another program may hold any 32-bit values.
int64_t Distance(int32_t a, int32_t b) { return std::abs(static_cast<int64_t>(a) - static_cast<int64_t>(b)); }

}  // namespace

std::optional<AudioBandReducer::Bands> AudioBandReducer::OnFrame(std::span<const uint8_t> bytes) {
    std::memcpy(current_.data(), bytes.data(), std::min(bytes.size(), sizeof current_));
    ++counter_;
    std::array<int64_t, kFrameValues> diff{};
    for (size_t i = 0; i < kFrameValues; ++i) diff[i] = Distance(current_[i], previous_[i]);
    previous_ = current_;
    for (size_t band = 0; band < kBands; ++band) {
        const int64_t* values = &diff[band * kValuesPerBand];
        int64_t sum = 0;
        for (int i = 0; i < kCounted; ++i) sum += values[i];
        const int64_t mean = sum / kCounted;
        double squares = 0;
        for (int i = 0; i < kCounted; ++i) squares += static_cast<double>(values[i] - mean) * static_cast<double>(values[i] - mean);
        constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
        means_[band] = static_cast<int32_t>(std::min(mean, kMax));
        deviations_[band] = static_cast<int32_t>(std::min<double>(std::sqrt(squares / (kCounted - 1)), kMax));
    }
    if (counter_ < kFramesPerHandOver) return std::nullopt;
    counter_ = 0;
    return means_;
}

}  // namespace q208
