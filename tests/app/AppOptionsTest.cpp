#include <gtest/gtest.h>

#include "app/AppOptions.h"

namespace q208::test {
namespace {

std::optional<AppOptions> Parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string reason;
    auto options = AppOptions::Parse(args, reason);
    if (error) *error = reason;
    return options;
}

TEST(AppOptions, SimulateWithAndWithoutAList) {
    auto plain = Parse({"--simulate"});
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->simulate);
    EXPECT_FALSE(plain->simulateListGiven);
    auto none = Parse({"--simulate="});
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->simulateListGiven);
    EXPECT_EQ(none->simulateList, "");
    auto some = Parse({"--simulate=keyboard,headset", "--screenshot", "a.png", "--quit-after", "10"});
    ASSERT_TRUE(some);
    EXPECT_EQ(some->simulateList, "keyboard,headset");
    EXPECT_EQ(some->screenshotFile, "a.png");
    EXPECT_EQ(some->quitAfterSeconds, 10);
}

TEST(AppOptions, BadMeasuringValuesAndMixedModesAreRefused) {
    std::string error;
    EXPECT_FALSE(Parse({"--quit-after", "-3"}, &error));
    EXPECT_NE(error.find("--quit-after"), std::string::npos);
    EXPECT_FALSE(Parse({"--screenshot"}, &error));
    EXPECT_FALSE(Parse({"--render", "x.xml", "--out", "x.png", "--simulate"}, &error));
}

}  // namespace
}  // namespace q208::test
