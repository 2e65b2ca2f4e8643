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

TEST(AppOptions, PreviewTakesALayoutAndALanguageButNoPictureOptions) {
    auto preview = Parse({"--preview", "XML/sample.xml", "--lang", "lan_en.xml"});
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->mode, AppOptions::Mode::Preview);
    EXPECT_EQ(preview->layout, "XML/sample.xml");
    EXPECT_EQ(preview->language, "lan_en.xml");
    std::string error;
    EXPECT_FALSE(Parse({"--preview", "x.xml", "--out", "x.png"}, &error));
    EXPECT_FALSE(Parse({"--preview"}, &error));
    EXPECT_FALSE(Parse({"--lang", "lan_en.xml"}, &error)) << "a language file alone runs nothing";
}

}  // namespace
}  // namespace q208::test
