#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <vector>

#include "lighting/AudioBandReducer.h"

namespace q208 {
namespace {

std::vector<uint8_t> Bytes(const std::array<int32_t, 500>& frame) {
    std::vector<uint8_t> bytes(sizeof frame);
    std::memcpy(bytes.data(), frame.data(), bytes.size());
    return bytes;
}

TEST(AudioBandReducer, EveryThirdFrameIsHandedOverAndIdenticalFramesGiveZero) {
    AudioBandReducer reducer;
    std::array<int32_t, 500> frame{};
    frame.fill(700);
    EXPECT_FALSE(reducer.OnFrame(Bytes(frame)));
    EXPECT_FALSE(reducer.OnFrame(Bytes(frame)));
    const auto third = reducer.OnFrame(Bytes(frame));
    ASSERT_TRUE(third);
    for (int32_t mean : *third) EXPECT_EQ(mean, 0);
    EXPECT_EQ(reducer.FrameCounter(), 0);
    EXPECT_FALSE(reducer.OnFrame(Bytes(frame)));
}

TEST(AudioBandReducer, OnlyFourOfEveryFiveOfTheFirst124ValuesCount) {
    AudioBandReducer reducer;
    std::array<int32_t, 500> frame{};
    for (size_t i = 0; i < 500; ++i) frame[i] = (i % 5 == 4 || i >= 125) ? 100000 : 0;
    reducer.OnFrame(Bytes(frame));
    for (int32_t mean : reducer.Means()) EXPECT_EQ(mean, 0);

    // Band 2 takes values 10 … 13: changes 0, 4, 8, 12 → mean 6, deviation √(80 / 3) = 5.
    frame.fill(0);
    reducer.OnFrame(Bytes(frame));
    for (int i = 0; i < 4; ++i) frame[10 + i] = 4 * i;
    reducer.OnFrame(Bytes(frame));
    EXPECT_EQ(reducer.Means()[2], 6);
    EXPECT_EQ(reducer.Deviations()[2], 5);
    EXPECT_EQ(reducer.Means()[1], 0);
}

TEST(AudioBandReducer, ExtremeValuesNeitherOverflowNorWrap) {
    AudioBandReducer reducer;
    std::array<int32_t, 500> frame{};
    frame.fill(std::numeric_limits<int32_t>::min());
    reducer.OnFrame(Bytes(frame));
    frame.fill(std::numeric_limits<int32_t>::max());
    reducer.OnFrame(Bytes(frame));
    for (int32_t mean : reducer.Means()) EXPECT_EQ(mean, std::numeric_limits<int32_t>::max());
}

TEST(AudioBandReducer, AShortBlockReplacesOnlyWhatItCovers) {
    AudioBandReducer reducer;
    std::array<int32_t, 500> frame{};
    frame.fill(50);
    reducer.OnFrame(Bytes(frame));
    const std::array<int32_t, 2> head{150, 150};
    std::vector<uint8_t> bytes(sizeof head);
    std::memcpy(bytes.data(), head.data(), bytes.size());
    reducer.OnFrame(bytes);
    EXPECT_EQ(reducer.Means()[0], 50);  // (100 + 100 + 0 + 0) / 4
    EXPECT_EQ(reducer.Means()[1], 0);
}

}  // namespace
}  // namespace q208
