#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "audio/LevelFrameBuilder.h"

namespace q208::audio {
namespace {

std::vector<float> Sine(double hz, double amplitude, int count) {
    std::vector<float> samples(count);
    for (int i = 0; i < count; ++i) samples[i] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * i / 48000));
    return samples;
}

int PeakIndex(const LevelFrameBuilder::Frame& frame) {
    return static_cast<int>(std::max_element(frame.begin(), frame.end()) - frame.begin());
}

TEST(LevelFrameBuilder, SilenceIsAFrameOfZeros) {
    LevelFrameBuilder builder(48000);
    builder.Push(std::vector<float>(LevelFrameBuilder::kFftSize, 0.0f));
    const auto frame = builder.Build();
    EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](int32_t v) { return v == 0; }));
}

TEST(LevelFrameBuilder, ATonePeaksInItsBandAtItsLoudness) {
    for (double hz : {110.0, 1000.0, 6000.0}) {
        SCOPED_TRACE(hz);
        LevelFrameBuilder builder(48000);
        builder.Push(Sine(hz, 0.5, LevelFrameBuilder::kFftSize));
        const auto frame = builder.Build();
        EXPECT_NEAR(PeakIndex(frame), LevelFrameBuilder::IndexOfHz(hz), 3);
        // Half of full scale is -6 dB: (80 - 6) / 80 of the range.
        EXPECT_NEAR(frame[PeakIndex(frame)], 1850, 40);
        // Far from the tone the spectrum falls to (nearly) nothing.
        EXPECT_LT(frame[LevelFrameBuilder::IndexOfHz(hz * 4 < 16000 ? hz * 4 : hz / 4)], 400);
        for (int32_t value : frame) {
            EXPECT_GE(value, 0);
            EXPECT_LE(value, LevelFrameBuilder::kMaxLevel);
        }
    }
}

TEST(LevelFrameBuilder, OnlyTheNewestWindowCounts) {
    LevelFrameBuilder builder(48000);
    builder.Push(Sine(1000, 0.9, LevelFrameBuilder::kFftSize));
    builder.Push(std::vector<float>(LevelFrameBuilder::kFftSize, 0.0f));
    const auto frame = builder.Build();
    EXPECT_EQ(*std::max_element(frame.begin(), frame.end()), 0);
}

TEST(LevelFrameBuilder, BandsCoverTheRangeInOrder) {
    EXPECT_EQ(LevelFrameBuilder::IndexOfHz(29.0), -1);
    EXPECT_EQ(LevelFrameBuilder::IndexOfHz(30.0), 0);
    EXPECT_EQ(LevelFrameBuilder::IndexOfHz(15999.0), 499);
    for (int i = 0; i < 500; i += 37) EXPECT_EQ(LevelFrameBuilder::IndexOfHz(LevelFrameBuilder::CentreHz(i)), i);
}

}  // namespace
}  // namespace q208::audio
