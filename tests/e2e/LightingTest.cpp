#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <map>
#include <sstream>
#include <string>

#include "e2e/Q208E2eTest.h"
#include "platform/Paths.h"
#include "profile/JsonFile.h"

namespace q208::e2e {
namespace {

class LightingE2e : public Q208E2eTest {
protected:
    // "device KIND MODEL colour WORD" lines of `sync status`, by model.
    static std::map<std::string, std::string> Colours(const ProcessResult& status) {
        std::map<std::string, std::string> colours;
        std::istringstream in(status.out);
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            std::string device, kind, model, label, word;
            if (words >> device >> kind >> model >> label >> word && device == "device") colours[model] = word;
        }
        return colours;
    }
    Json::Value KeyboardProfile() const {
        const std::filesystem::path folder = DataFolder() / kProductTitle / "Keyboard";
        const Json::Value list = ReadJsonValue(folder / "ProfileList.ini");
        return ReadJsonValue(folder / (list["profilelist"][0]["profileUUID"].asString() + ".Json"));
    }
};

// Same mode on the keyboard and the mouse pad: at every sample both show one colour word,
// the words move on from sample to sample, and the keyboard is sent the frames.
TEST_F(LightingE2e, SyncPaintsEveryDeviceInStepUntilItEnds) {
    ASSERT_TRUE(StartQ208Simulating("keyboard,mousepad")) << Q208Log();
    ASSERT_TRUE(WaitForOutput({"sim", "state", "mousepad", "link"}, "plugged yes").exitCode == 0);
    ProcessResult start;
    ASSERT_TRUE(WaitUntil({"sync", "spectrum", "brightness=4"},
                          [](const ProcessResult& r) { return Contains(r, "synchronised devices 2"); }, &start))
        << Describe(start) << Q208Log();
    // The thread notices its first synchronised device within a second.
    ProcessResult first;
    ASSERT_TRUE(WaitUntil({"sync", "status"}, [](const ProcessResult& r) { return !Contains(r, "steps 0\n"); }, &first))
        << Describe(first);
    std::string previous;
    for (int sample = 0; sample < 5; ++sample) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const ProcessResult status = RunCtl({"sync", "status"});
        ASSERT_EQ(status.exitCode, 0) << Describe(status);
        const auto colours = Colours(status);
        ASSERT_EQ(colours.size(), 2u) << status.out;
        EXPECT_EQ(colours.begin()->second, colours.rbegin()->second) << status.out;
        EXPECT_EQ(colours.begin()->second.substr(0, 2), "ff") << "full brightness: " << status.out;
        EXPECT_NE(colours.begin()->second, previous) << "the spectrum moves on";
        previous = colours.begin()->second;
    }
    const ProcessResult traffic = RunCtl({"sim", "state", "keyboard", "traffic"});
    EXPECT_TRUE(Contains(traffic, "count 12 ")) << "live frames reach the keyboard\n" << Describe(traffic);

    const ProcessResult off = RunCtl({"sync", "off"});
    EXPECT_EQ(off.exitCode, 0) << Describe(off);
    const ProcessResult after = RunCtl({"sync", "status"});
    EXPECT_TRUE(Colours(after).empty()) << after.out;
    const ProcessResult bad = RunCtl({"sync", "rainbow"});
    EXPECT_EQ(bad.exitCode, 1) << Describe(bad);
}

// A swatch of the keyboard page's lighting panel goes to the keyboard's profile at once.
TEST_F(LightingE2e, ASwatchOfThePanelIsStoredForTheKeyboard) {
    ASSERT_TRUE(StartQ208Simulating("keyboard")) << Q208Log();
    ASSERT_TRUE(WaitUntil({"sim", "click", "device_page_tab_1"}, [](const ProcessResult& r) { return r.exitCode == 0; }))
        << Q208Log();  // the page's lighting
    ASSERT_TRUE(WaitForOutput({"sim", "text", "light_combo_modeSelect"}, "Wave").exitCode == 0) << Q208Log();
    const ProcessResult click = RunCtl({"sim", "click", "color_option_8"});
    ASSERT_EQ(click.exitCode, 0) << Describe(click);
    EXPECT_TRUE(Poll(
        [&] {
            const Json::Value light = KeyboardProfile()["Device"][0]["LightInfo"];
            return light["Blue"].asInt() == 255 && light["Red"].asInt() == 0 && light["Green"].asInt() == 0;
        },
        kWaitTimeoutMs))
        << KeyboardProfile().toStyledString() << Q208Log();
}

}  // namespace
}  // namespace q208::e2e
