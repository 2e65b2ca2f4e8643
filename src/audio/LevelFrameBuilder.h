#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "audio/AudioRecorderIdentity.h"

namespace q208::audio {

// Turns the newest samples of the captured sound into a level frame: 500 values, one per
// frequency band, the bands spaced logarithmically from 30 Hz to 16 kHz. A value is the
// band's loudest spectral peak in decibels relative to a full-scale sine, mapped from
// -80 dB … 0 dB onto 0 … 2000 (quieter is 0). Silence gives a frame of zeros.
class LevelFrameBuilder {
public:
    static constexpr int kFftSize = 2048;
    static constexpr int kMaxLevel = 2000;
    static constexpr double kFloorDb = -80.0;
    static constexpr double kLowestHz = 30.0;
    static constexpr double kHighestHz = 16000.0;
    using Frame = std::array<int32_t, kLevelFrameValues>;

    explicit LevelFrameBuilder(int sampleRate);
    ~LevelFrameBuilder();
    LevelFrameBuilder(const LevelFrameBuilder&) = delete;
    LevelFrameBuilder& operator=(const LevelFrameBuilder&) = delete;

    // Mono samples in -1 … 1; the newest kFftSize are kept.
    void Push(std::span<const float> samples);
    Frame Build();

    // The frequency in the middle of a frame value's band, and the value whose band holds
    // `hz` (-1 outside the bands).
    static double CentreHz(int index);
    static int IndexOfHz(double hz);

private:
    struct Fft;

    int sampleRate_;
    std::vector<float> history_;  // ring of the newest kFftSize samples
    size_t next_ = 0;
    std::vector<float> window_;
    std::unique_ptr<Fft> fft_;
    // For each frame value, the spectrum bins [first, last] it takes its peak from.
    std::vector<std::pair<int, int>> bins_;
};

}  // namespace q208::audio
