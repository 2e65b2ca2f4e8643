// The mouse pad in the running program and through q208ctl: the page shows the emulated
// pad's own lighting, a change on the page and a profile chosen reach the pad, its LEDs
// animate and show what the pad shows, and q208ctl reads and writes the block.
#include <filesystem>
#include <string>

#include "e2e/Q208E2eTest.h"
#include "platform/Paths.h"
#include "profile/JsonFile.h"

namespace q208::e2e {
namespace {

constexpr uint8_t kReadConfig = 0x05;

class MousePadE2e : public Q208E2eTest {
protected:
    std::filesystem::path Folder() const { return DataFolder() / kProductTitle / "MousePad"; }
    Json::Value Profile() const {
        const Json::Value list = ReadJsonValue(Folder() / "ProfileList.ini");
        return ReadJsonValue(Folder() / (list["profilelist"][0]["profileUUID"].asString() + ".Json"));
    }
    bool StartWithPad() {
        return StartQ208Simulating("mousepad") && WaitForCommandCount("mousepad", kReadConfig, 2);
    }
    // The page's effect, as the effect drop-down reads.
    bool ShowsEffect(int mode) const {
        ProcessResult result;
        return WaitUntil({"sim", "text", "pad_effect_combo"},
                         [&](const ProcessResult& r) { return Contains(r, "Pad effect " + std::to_string(mode)); },
                         &result);
    }
    static int Component(const std::string& colour, int index) {
        return colour.size() == 6 ? std::stoi(colour.substr(index * 2, 2), nullptr, 16) : -1;
    }
};

TEST_F(MousePadE2e, ThePageShowsThePadsLightingAndAColourClickedReachesThePadAndTheProfile) {
    ASSERT_TRUE(StartWithPad()) << Q208Log();
    // The emulated pad has mode 1 (the factory profile mode 0): the page shows the pad's.
    EXPECT_TRUE(ShowsEffect(1)) << Q208Log();
    EXPECT_EQ(Profile()["Device"][0]["LightInfo"]["SelectItem"].asInt(), 0) << "a read leaves the profile";
    // Mode 1 runs the colour wheel over the LEDs.
    const std::string first = Probe("light_0");
    EXPECT_TRUE(WaitForProbe("light_0", [&](const std::string& c) { return c != "?" && c != first; }))
        << first << '\n' << Q208Log();

    const ProcessResult click = RunCtl({"sim", "click", "pad_colour_option_3"});
    ASSERT_EQ(click.exitCode, 0) << Describe(click);
    const ProcessResult config = WaitForOutput(
        {"sim", "state", "mousepad", "config"}, "number=0 mode=1 brightness=4 inverse-speed=2 multicolour=1 red=0 green=255 blue=0");
    EXPECT_TRUE(Contains(config, "active@0x0000: number=0 mode=1 brightness=4 inverse-speed=2 multicolour=1 red=0 green=255 blue=0"))
        << Describe(config) << Q208Log();
    // The swatch of the current colour turns green (its mean takes in its grey border).
    EXPECT_TRUE(WaitForProbe("pad_colour_current", [](const std::string& c) {
        return Component(c, 1) > 0xC0 && Component(c, 0) < 0x30 && Component(c, 2) < 0x30;
    })) << Probe("pad_colour_current");
    EXPECT_TRUE(Poll([&] { return Profile()["Device"][0]["LightInfo"]["Green"].asInt() == 255; }, kWaitTimeoutMs));
    EXPECT_EQ(Profile()["Device"][0]["LightInfo"]["SelectItem"].asInt(), 1) << "the profile keeps what the page showed";
}

TEST_F(MousePadE2e, AProfileSetByTheToolReachesThePadWhenItIsSelectedAndTheLedsShowIt) {
    ProcessResult result = RunCtl({"--simulate=mousepad", "set-pad-lighting", "effect=3", "rgb=0,0,255", "multicolor=0"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "mode 3 (code 3")) << Describe(result);
    EXPECT_TRUE(Contains(result, "rgb 0,0,255")) << Describe(result);
    result = RunCtl({"--simulate=mousepad", "pad"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "mode 1 (code 1")) << "each run of the tool has a pad of its own: " << Describe(result);

    ASSERT_TRUE(StartWithPad()) << Q208Log();
    EXPECT_TRUE(ShowsEffect(1)) << Q208Log();
    result = RunCtl({"--device", "mousepad", "profile", "select", "0"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    const ProcessResult config = WaitForOutput({"sim", "state", "mousepad", "config"}, "mode=3 brightness=4");
    EXPECT_TRUE(Contains(config, "active@0x0000: number=0 mode=3 brightness=4 inverse-speed=2 multicolour=0 red=0 green=0 blue=255"))
        << Describe(config) << Q208Log();
    EXPECT_TRUE(ShowsEffect(3)) << Q208Log();
    // Static blue on every LED.
    for (const char* led : {"light_0", "light_7", "light_14"}) {
        EXPECT_TRUE(WaitForProbe(led, [](const std::string& c) {
            return Component(c, 0) < 0x20 && Component(c, 2) > 0xC0;
        })) << led << ' ' << Probe(led);
    }
}

TEST_F(MousePadE2e, PadCommandsRefuseOtherDevicesAndModesThePadDoesNotHave) {
    ProcessResult result = RunCtl({"--simulate", "--device", "keyboard", "set-pad-lighting", "effect=1"});
    EXPECT_EQ(result.exitCode, 1) << Describe(result);
    EXPECT_NE(result.err.find("works on the mousepad only"), std::string::npos) << Describe(result);
    result = RunCtl({"--simulate", "set-pad-lighting", "effect=10"});
    EXPECT_EQ(result.exitCode, 1) << Describe(result);
    EXPECT_NE(result.err.find("effect takes 0 … 9"), std::string::npos) << Describe(result);
    result = RunCtl({"--simulate=keyboard", "pad"});
    EXPECT_EQ(result.exitCode, 2) << Describe(result);
}

}  // namespace
}  // namespace q208::e2e
