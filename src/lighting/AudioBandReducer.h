#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace q208 {

// Reduces the recorder's level frames to the 25 band values the keyboards take. Each frame
// is compared with the one before: per band the mean and deviation of four of its five
// changes. Keyboards hear every third frame. Runs on the main window's thread only.
class AudioBandReducer {
public:
    static constexpr size_t kFrameValues = 500;
    static constexpr size_t kBands = 25;
    static constexpr size_t kValuesPerBand = 5;  // of which the first four count
    static constexpr int kFramesPerHandOver = 3;
    using Bands = std::array<int32_t, kBands>;

    // Takes a frame's bytes (a shorter block replaces only the values it covers). The band
    // means when this frame is the one handed over, else nothing.
    std::optional<Bands> OnFrame(std::span<const uint8_t> bytes);

    const Bands& Means() const { return means_; }
    const Bands& Deviations() const { return deviations_; }
    int FrameCounter() const { return counter_; }

private:
    std::array<int32_t, kFrameValues> current_{};
    std::array<int32_t, kFrameValues> previous_{};
    Bands means_{};
    Bands deviations_{};
    int counter_ = 0;
};

}  // namespace q208
